// TAnalyte point operations, classification and text export; the analyte and material lists.
#include "UStructures.h"

#include <algorithm>
#include <atomic>

TAnalyteId NewAnalyteId() {
    static std::atomic<TAnalyteId> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

TAnalyte::TAnalyte(const std::string& name, const std::string& unit, int32_t decimals, int32_t nbLevels)
    : Decimals(decimals), NbLevels(nbLevels) {
    SetName(name);
    SetUnit(unit);
    for (int i = 0; i < MaxLevels; ++i) RecalcLevel(i);
}

int TAnalyte::FindInsertIndex(TDateTime dt) const {
    int i = Count();
    while (i > 0 && Points[static_cast<size_t>(i - 1)].DateTime > dt) --i;
    return i;
}

int TAnalyte::AddPoint(const TResu& entry) {
    ControlPoint p;
    p.DateTime = entry.DateTime;
    p.Levels = entry.Levels;
    p.Operator.Assign(BlankControlChars(entry.Operator.substr(0, 4)));
    p.CommentId = entry.Comment.empty() ? -1 : Comments.AddText(BlankControlChars(entry.Comment));
    int index = FindInsertIndex(entry.DateTime);
    Points.insert(Points.begin() + index, p);
    for (int i = 0; i < NbLevels; ++i) {
        if (LimitMode[i] != lmLocked) continue;
        if (LockFirst[i] >= index) {
            ++LockFirst[i];
            ++LockLast[i];
        } else if (LockLast[i] >= index) {
            ++LockLast[i];
        }
    }
    return index;
}

void TAnalyte::DeletePoint(int index) {
    if (index < 0 || index >= Count()) return;
    Points.erase(Points.begin() + index);
    for (int i = 0; i < NbLevels; ++i) {
        if (LimitMode[i] != lmLocked) continue;
        if (index < LockFirst[i]) {
            --LockFirst[i];
            --LockLast[i];
        } else if (LockLast[i] >= index) {
            --LockLast[i];
        }
    }
}

bool TAnalyte::IsPointEmpty(int index) const {
    const ControlPoint& p = Points[static_cast<size_t>(index)];
    for (int i = 0; i < NbLevels; ++i)
        if (p.Levels[i].State != psEmpty) return false;
    return true;
}

bool TAnalyte::DeleteIfEmpty(int index) {
    if (!IsPointEmpty(index)) return false;
    DeletePoint(index);
    return true;
}

void TAnalyte::ClassifyRun(TLevelValues& levels) const {
    for (int i = 0; i < NbLevels; ++i) {
        LevelValue& lv = levels[i];
        if (lv.State == psEmpty || lv.State == psDiscarded) continue;
        const LevelStats& l = Limits[i];
        if (LimitMode[i] == lmMobile && l.State == 6) {
            lv.State = psInControl;
            continue;
        }
        long double v = lv.Value;
        if (l.Mean - v >= l.ActionDev)
            lv.State = psLowAction;
        else if (l.Mean - v >= l.WarnDev)
            lv.State = psLowWarning;
        else if (v - l.Mean >= l.ActionDev)
            lv.State = psHighAction;
        else if (v - l.Mean >= l.WarnDev)
            lv.State = psHighWarning;
        else
            lv.State = psInControl;
    }
}

void TAnalyte::ClassifyAllPoints() {
    for (ControlPoint& p : Points) ClassifyRun(p.Levels);
}

std::string TAnalyte::CommentText(int32_t commentId) const {
    return Comments.TextOf(commentId);
}

std::string TAnalyte::PointsAsText() const {
    std::string out;
    const TRegional exchange = Regional.ForExchange();
    for (const ControlPoint& p : Points) {
        out += exchange.DateToText(p.DateTime);
        out += '\t';
        out += exchange.TimeToText(p.DateTime);
        out += '\t';
        for (int i = 0; i < NbLevels; ++i) {
            const LevelValue& lv = p.Levels[i];
            if (lv.State == psDiscarded)
                out += "Discarded";
            else if (lv.State != psEmpty)
                out += FormatStoredValue(lv.Value, Decimals);
            out += '\t';
        }
        // Control characters would start a line or field of their own, or drive a terminal.
        out += BlankControlChars(p.Operator.View());
        out += '\t';
        out += BlankControlChars(CommentText(p.CommentId));
        out += "\r\n";
    }
    return out;
}

TResu TAnalyte::PointAsEntry(int index) const {
    const ControlPoint& p = Points[static_cast<size_t>(index)];
    TResu r;
    r.DateTime = p.DateTime;
    r.Levels = p.Levels;
    r.Operator = p.Operator.Str();
    r.Comment = CommentText(p.CommentId);
    r.AnalyteName = Name;
    return r;
}

// ---------------------------------------------------------------- TListSerum

const TSerum TListSerum::Unknown{-1, 0, "Unknown", ""};

int32_t TListSerum::AddMaterial(const std::string& name, const std::string& lot) {
    TSerum s{NextId++, 0, BlankControlChars(name.substr(0, NameRoom)),
             BlankControlChars(lot.substr(0, LotRoom))};
    std::string key = UpperCase(s.Name + s.Lot);
    auto pos = std::find_if(Items.begin(), Items.end(),
                            [&](const TSerum& o) { return key < UpperCase(o.Name + o.Lot); });
    Items.insert(pos, s);
    return s.Id;
}

const TSerum& TListSerum::FindMaterial(int32_t id) const {
    for (const TSerum& s : Items)
        if (s.Id == id) return s;
    return Unknown;
}

void TListSerum::AppendLoaded(const TSerum& s) {
    Items.push_back(s);
    int32_t largest = -1;
    for (const TSerum& o : Items) largest = std::max(largest, o.Id);
    NextId = largest + 1;
}

void TListSerum::Remove(int32_t id) {
    std::erase_if(Items, [id](const TSerum& s) { return s.Id == id; });
}

// ---------------------------------------------------------------- TListAnalytes

int TListAnalytes::IndexOf(const TAnalyte* a) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].get() == a) return static_cast<int>(i);
    return -1;
}

int TListAnalytes::IndexOf(TAnalyteId uid) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i]->Uid == uid) return static_cast<int>(i);
    return -1;
}

TAnalyte* TListAnalytes::Find(TAnalyteId uid) const {
    int i = IndexOf(uid);
    return i < 0 ? nullptr : Items[static_cast<size_t>(i)].get();
}

std::vector<TAnalyte*> TListAnalytes::AnalytesUsingMaterial(int32_t id) const {
    std::vector<TAnalyte*> out;
    for (const auto& a : Items)
        for (int i = 0; i < a->NbLevels; ++i)
            if (a->MaterialId[i] == id) {
                out.push_back(a.get());
                break;
            }
    return out;
}

TAnalyte* TListAnalytes::FindByName(const std::string& name) const {
    std::string key = UpperCase(name);
    for (const auto& a : Items)
        if (UpperCase(a->Name) == key) return a.get();
    return nullptr;
}
