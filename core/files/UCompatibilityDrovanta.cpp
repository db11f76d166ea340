// Import of the predecessor product's data and backup files (one format) into three-level analytes.
#include "UCompatibilityDrovanta.h"

#include <algorithm>
#include <cmath>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UTexts.h"

namespace {

constexpr size_t V2MaterialRecordSize = 27;

[[noreturn]] void Damaged(const std::string& what) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Damaged predecessor file: %1"), what));
}

// The date range the program's date texts can show (years 1 to 9999).
bool UsableDate(double d) {
    return std::isfinite(d) && d >= -693593.0 && d < 2958466.0;
}

} // namespace

void TListIDStringV2::Read(TByteReader& r) {
    NextId = r.I32();
    size_t count = r.Count(RecordSize);
    Items.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        int32_t id = r.I32();
        Items.push_back({id, r.ShortString(23)});
    }
}

std::string TListIDStringV2::TextOf(int32_t id) const {
    if (id == -1 || Items.empty()) return {};
    int low = 0, high = static_cast<int>(Items.size()) - 1, mid = 0;
    while (low <= high) {
        mid = (low + high) / 2;
        int32_t key = Items[static_cast<size_t>(mid)].Id;
        if (key >= id) high = mid - 1;
        if (key <= id) low = mid + 1;
    }
    return low - high > 1 ? Items[static_cast<size_t>(mid)].Text : std::string();
}

void TAnalyteV2::Read(TByteReader& r) {
    size_t count = r.Count(PointSize);
    Points.resize(count);
    for (Point& p : Points) {
        std::string_view rec = r.Bytes(PointSize);
        TByteReader pr(rec);
        p.Date = pr.Double();
        for (size_t i = 0; i < 3; ++i) {
            p.Value[i] = pr.Single();
            p.Code[i] = pr.U8();
            pr.Skip(3);
        }
        p.CommentId = pr.I32();
    }

    TByteReader hr(r.Bytes(HeaderSize));
    Name = hr.ShortString(10);
    Unit = hr.ShortString(12);
    Decimals = hr.I32();
    hr.Skip(80);
    for (int32_t& v : LockFirst) v = hr.I32();
    for (int32_t& v : LockLast) v = hr.I32();

    size_t others = r.Count(OtherRecordSize);
    r.Skip(others * OtherRecordSize);
    Comments.Read(r);

    // What the program's own data file would refuse must not come in through the import either.
    if (Decimals < 0 || Decimals > 3) Damaged("decimals " + std::to_string(Decimals));
    for (const Point& p : Points) {
        if (!UsableDate(p.Date)) Damaged("a point's date");
        for (size_t i = 0; i < 3; ++i)
            if ((p.Code[i] == 0 || p.Code[i] == 2) && !std::isfinite(p.Value[i])) Damaged("a point's value");
    }
}

std::unique_ptr<TAnalyte> TAnalyteV2::Convert() const {
    auto a = std::make_unique<TAnalyte>(Name, Unit, Decimals, 3);
    // Added in date order, equal dates in file order: the same points and order as adding them in file
    // order, without the quadratic insertion a file in reverse order would cost.
    std::vector<const Point*> order;
    order.reserve(Points.size());
    for (const Point& p : Points) order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Point* x, const Point* y) {
        return ComposeDateTime(x->Date, 0.5) < ComposeDateTime(y->Date, 0.5);
    });
    a->Points.reserve(Points.size());
    for (const Point* pp : order) {
        const Point& p = *pp;
        TResu run;
        // The predecessor kept dates only: its runs come in at noon.
        run.DateTime = ComposeDateTime(p.Date, 0.5);
        for (size_t i = 0; i < 3; ++i) {
            switch (p.Code[i]) {
            case 0:
                run.Levels[i] = {p.Value[i], psInControl};
                break;
            case 2:
                run.Levels[i] = {p.Value[i], psDiscarded};
                break;
            default:
                run.Levels[i] = {0, psEmpty};
                break; // 1, and codes without a meaning
            }
        }
        run.Comment = Comments.TextOf(p.CommentId);
        a->AddPoint(run);
    }
    // Taken as they are; RecalcLevel returns a level whose interval is unusable to mobile limits.
    for (size_t i = 0; i < 3; ++i) {
        if (LockFirst[i] < 0) continue;
        a->LimitMode[i] = lmLocked;
        a->LockFirst[i] = LockFirst[i];
        a->LockLast[i] = LockLast[i];
    }
    a->RecalcAll();
    a->ClassifyAllPoints();
    return a;
}

int ImportPredecessorBytes(std::string_view bytes, TListAnalytes& into) {
    int imported = 0;
    try {
        if (bytes.size() < PredecessorSignature.size()) Damaged("no trailer");
        std::string_view trailer = bytes.substr(bytes.size() - PredecessorSignature.size());
        for (size_t i = 0; i < PredecessorSignature.size(); ++i)
            if (static_cast<uint8_t>(trailer[i]) != PredecessorSignature[i]) Damaged("wrong trailer");

        // The trailer is no part of the records: a count that reaches into it is damage.
        TByteReader r(bytes.substr(0, bytes.size() - PredecessorSignature.size()));
        size_t materials = r.Count(V2MaterialRecordSize);
        r.Skip(materials * V2MaterialRecordSize);
        // Nothing is allocated for the analyte count: each image is read on its own, so a file cut
        // part-way still gives the analytes before the cut.
        int32_t analytes = r.I32();
        if (analytes < 0) Damaged("analyte count");
        for (int32_t k = 0; k < analytes; ++k) {
            TAnalyteV2 image;
            image.Read(r);
            into.Add(image.Convert());
            ++imported;
        }
    } catch (const EQcError& e) {
        throw EPredecessorImport(imported, e.what());
    }
    return imported;
}

int ImportPredecessorFile(const std::string& path) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const EQcError& e) {
        throw EPredecessorImport(0, e.what());
    }
    return ImportPredecessorBytes(bytes, ListAnalytes);
}
