// Atomic whole-file writes: written in pieces, a replaced file's mode kept, a link's target updated,
// nothing left behind by a write that is not committed.
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UQcError.h"

namespace fs = std::filesystem;

namespace {
mode_t ModeOf(const std::string& path) {
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

size_t FilesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}
} // namespace

// A large file (beyond the size whose replaced copy is closed apart) in pieces of all sizes, written
// twice over a file of mode 0640 reached through a link: the link stays, the target has the bytes and
// its mode.
TEST(AtomicFile, PiecesOverALinkedFileKeepTheLinkAndTheMode) {
    TTempFolder folder;
    const std::string target = folder.File("real.qcf"), link = folder.File("link.qcf");
    AtomicWriteFile(target, "old");
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, link);
    std::string expected;
    for (int round = 0; round < 2; ++round) {
        TAtomicWriter file(link);
        expected.clear();
        for (size_t n = 1; expected.size() < (size_t{6} << 20); n = n * 3 + 1) {
            const std::string piece(n % 1000003, static_cast<char>('a' + (n + round) % 26));
            file.Write(piece);
            expected += piece;
        }
        EXPECT_EQ(file.Size(), expected.size());
        file.Commit();
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_TRUE(ReadWholeFile(target) == expected);
        EXPECT_EQ(ModeOf(target), 0640u);
        EXPECT_EQ(FilesIn(folder.Path()), 2u);
    }
}

// A write abandoned at any point, by its writer or by a failure, leaves the old file and nothing else.
TEST(AtomicFile, AnAbandonedWriteLeavesTheOldFile) {
    TTempFolder folder;
    const std::string path = folder.File("data.qcf");
    AtomicWriteFile(path, "kept");
    {
        TAtomicWriter file(path);
        file.Write(std::string(100000, 'x'));
        EXPECT_EQ(FilesIn(folder.Path()), 2u);
        const std::string tmp = [&] {
            for (const auto& e : fs::directory_iterator(folder.Path()))
                if (e.path().filename() != "data.qcf") return e.path().filename().string();
            return std::string();
        }();
        EXPECT_TRUE(IsOwnTemporaryName(tmp)) << tmp;
    }
    EXPECT_EQ(ReadWholeFile(path), "kept");
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
    {
        TAtomicWriter file(path);
        file.Write("new");
        file.Sync();
        EXPECT_THROW(file.Write("more"), EQcError); // nothing is added once synced
    }
    EXPECT_EQ(ReadWholeFile(path), "kept");
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

// A large file replaced by a smaller one in pieces, its sync started apart: the observer saw every
// byte in order, the file has the new size and no block reserved for the old size beyond it; a failure of
// that sync is reported at Commit and leaves the old file.
TEST(AtomicFile, ALargeFileReplacedBySmallerOneKeepsNoReservedBlocks) {
    TTempFolder folder;
    const std::string path = folder.File("data.qcf");
    const std::string large(size_t{8} << 20, 'L'), small(size_t{5} << 20, 's');
    AtomicWriteFile(path, large);
    std::string seen;
    {
        TAtomicWriter file(path);
        file.Observe([&seen](std::string_view piece) { seen += piece; });
        for (size_t at = 0; at < small.size(); at += 300000)
            file.Write(std::string_view(small).substr(at, 300000));
        file.StartSync();
        EXPECT_TRUE(seen == small); // every byte seen, in order, once StartSync returns
        file.Commit();
    }
    EXPECT_TRUE(ReadWholeFile(path) == small);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_LE(static_cast<size_t>(st.st_blocks) * 512, small.size() + 65536);

    WriteFaults() = TWriteFaults{true, TWriteStep::Sync};
    {
        TAtomicWriter file(path);
        file.Write(large);
        EXPECT_THROW(
            {
                file.StartSync();
                file.Commit();
            },
            EQcError);
    }
    WriteFaults() = TWriteFaults{};
    EXPECT_TRUE(ReadWholeFile(path) == small);
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}
