// Fuzz target: the reader of data files (read in pieces through one buffer) on a file of many pieces,
// against the reader of a whole image, on a large valid file changed by the input (bytes set, then
// the file cut): both refuse it, or both give the same lists.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UQcError.h"
#include "URandom.h"
#include "UUtilitaires.h"

namespace {
// Past the size from which the pieces reader is used, with comments and locked levels.
const std::string& Base() {
    static const std::string image = [] {
        RandomSeed(7);
        TListSerum serum;
        TListAnalytes analytes;
        serum.AddMaterial("M", "1");
        TLevelValues means{}, cvs{};
        for (int i = 0; i < 3; ++i) {
            means[i] = {static_cast<float>(4 * (i + 1)), psInControl};
            cvs[i] = {4.0f, psInControl};
        }
        for (int k = 0; k < 48; ++k) {
            auto a = std::make_unique<TAnalyte>("A" + std::to_string(k), "u", 1, 1 + k % 3);
            GenerateRandomPoints(*a, 400, means, cvs, 40000 + k);
            a->Comments.AddText("c" + std::to_string(k));
            if (k % 4 == 0) {
                a->LimitMode[0] = lmLocked;
                a->LockFirst[0] = 10;
                a->LockLast[0] = 300;
                a->RecalcAll();
            }
            analytes.Add(std::move(a));
        }
        return DataImage(serum, analytes);
    }();
    return image;
}

std::string Outcome(bool pieces, const std::string& path, const std::string& bytes) {
    TListSerum serum;
    TListAnalytes analytes;
    try {
        if (pieces) {
            ReadDataFile(path);
            return DataImage(ListSerum, ListAnalytes);
        }
        ParseDataImage(bytes, serum, analytes);
        return DataImage(serum, analytes);
    } catch (const EQcError&) {
        return "refused";
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes = Base();
    // Each 5 input bytes set one byte: a 4-byte position (wrapped to the file) and its new value; a
    // last 4 bytes left over cut the file there.
    size_t at = 0;
    for (; at + 5 <= size; at += 5) {
        uint32_t pos;
        std::memcpy(&pos, data + at, 4);
        bytes[pos % bytes.size()] = static_cast<char>(data[at + 4]);
    }
    if (size - at == 4) {
        uint32_t cut;
        std::memcpy(&cut, data + at, 4);
        bytes.resize(bytes.size() - cut % 4096);
    }
    // A folder of its own, removed with the object when the program ends.
    static const struct TFolder {
        std::string dir;
        TFolder() {
            dir = (std::filesystem::temp_directory_path() / "varnholt-fuzz-XXXXXX").string();
            dir = std::string(mkdtemp(dir.data())) + "/";
        }
        ~TFolder() {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    } folder;
    const std::string path = folder.dir + "Varnholt.qcf";
    AtomicWriteFile(path, bytes);
    if (Outcome(true, path, bytes) != Outcome(false, path, bytes)) std::abort();
    return 0;
}
