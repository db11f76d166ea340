// The analyte with its QC levels and control points, and the analyte and control-material lists.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "UTypes.h"
#include "UUtilitaires.h"

// Tells an analyte from every other one while the program runs; copies keep it, so that a window's
// working copy is known as the analyte it was made of, and a replaced list never reuses one.
using TAnalyteId = uint64_t;
TAnalyteId NewAnalyteId();

// The rows of the t table behind the warning and action limits (0-1 and 2-4, as in the settings).
struct TRiskRows {
    uint8_t Alert = 0;
    uint8_t Action = 4;
    bool operator==(const TRiskRows&) const = default;
};
// The rows in force: those of the settings.
TRiskRows RiskRowsInForce();

class TAnalyte {
public:
    // Create: name cut to 15, unit to 6; every slot mobile, unassigned, unlocked; limits computed.
    TAnalyte(const std::string& name, const std::string& unit, int32_t decimals, int32_t nbLevels);
    // An analyte with no slot computed, for readers that fill every field themselves.
    TAnalyte() = default;

    static constexpr size_t NameRoom = 15;
    static constexpr size_t UnitRoom = 6;

    TAnalyteId Uid = NewAnalyteId(); // not stored in files

    std::string Name;
    std::string Unit;
    int32_t Decimals = 0;
    int32_t NbLevels = 1;
    std::array<int32_t, MaxLevels> MaterialId{-1, -1, -1};
    std::array<::LimitMode, MaxLevels> LimitMode{lmMobile, lmMobile, lmMobile};
    std::array<int32_t, MaxLevels> LockFirst{-1, -1, -1};
    std::array<int32_t, MaxLevels> LockLast{-1, -1, -1};
    uint8_t Options = 7; // bit 0 multirules on, bit 1 common CV, bit 2 set at creation
    int32_t Reserved = 10;
    std::array<LevelStats, MaxLevels> Limits{};
    std::array<LevelStats, MaxLevels> AllStats{};
    std::vector<int32_t> ArchiveNumbers;
    TListIDString Comments;
    std::vector<ControlPoint> Points; // ascending DateTime

    static constexpr uint8_t OptMultirules = 1;
    static constexpr uint8_t OptCommonCV = 2;

    // Texts enter the model with control characters blanked: no name, unit, comment or operator can
    // end a line of an exchange or archive file and forge a run there.
    void SetName(const std::string& name) { Name = BlankControlChars(name.substr(0, NameRoom)); }
    void SetUnit(const std::string& unit) { Unit = BlankControlChars(unit.substr(0, UnitRoom)); }
    int Count() const { return static_cast<int>(Points.size()); }
    bool MultirulesOn() const { return (Options & OptMultirules) != 0; }
    bool CommonCVOn() const { return (Options & OptCommonCV) != 0; }

    // Number of stored points not later than dt.
    int FindInsertIndex(TDateTime dt) const;
    // Inserts a copy of the run in date order and shifts locked intervals; returns its index.
    int AddPoint(const TResu& entry);
    void DeletePoint(int index);
    bool IsPointEmpty(int index) const;
    bool DeleteIfEmpty(int index);
    // Classifies the values of the levels in use against each level's limits in force.
    void ClassifyRun(TLevelValues& levels) const;
    void ClassifyAllPoints();
    std::string CommentText(int32_t commentId) const;
    // Every point as a tab-separated line ended by CR LF, in the regional formats.
    std::string PointsAsText() const;

    // Statistics and limits, with the t-table rows in force in the settings or with rows being tried
    // (a preview computes a copy with its own rows and leaves the settings as they are).
    void ComputeStats(int level, int first, int last, LevelStats& out) const;
    void ComputeStats(int level, int first, int last, LevelStats& out, TRiskRows rows) const;
    void RecalcLevel(int level);
    void RecalcLevel(int level, TRiskRows rows);
    void ApplyCommonCV();
    void ApplyCommonCV(TRiskRows rows);
    void RecalcAll();
    void RecalcAll(TRiskRows rows);

    // A run made of this analyte's point (for moving it back to the entry fields or the queue).
    TResu PointAsEntry(int index) const;
};

// The limit modes, locked intervals and limits of an analyte's levels, kept by a page that tries them,
// to be put back by Cancel and Undo.
struct TLimitState {
    std::array<LimitMode, MaxLevels> Mode{};
    std::array<int32_t, MaxLevels> LockFirst{}, LockLast{};
    std::array<LevelStats, MaxLevels> Limits{};
    static TLimitState Of(const TAnalyte& a) { return {a.LimitMode, a.LockFirst, a.LockLast, a.Limits}; }
};

// A control material (one lot of it).
struct TSerum {
    int32_t Id = -1;
    int32_t EraseMark = 0;
    std::string Name; // at most 15 characters
    std::string Lot;  // at most 10 characters
};

class TListSerum {
public:
    static constexpr size_t NameRoom = 15;
    static constexpr size_t LotRoom = 10;
    static const TSerum Unknown; // identifier -1, name "Unknown"

    // Adds in sorted place (upper-case name + lot, after equal keys); returns the new identifier.
    int32_t AddMaterial(const std::string& name, const std::string& lot);
    // The material of the identifier, or the "Unknown" record.
    const TSerum& FindMaterial(int32_t id) const;
    // Appends a record as read from a file (no sorting); the next identifier follows the largest.
    void AppendLoaded(const TSerum& s);
    void Remove(int32_t id);
    void Clear() {
        Items.clear();
        NextId = 0;
    }
    int Count() const { return static_cast<int>(Items.size()); }

    std::vector<TSerum> Items;
    int32_t NextId = 0;
};

class TListAnalytes {
public:
    void Clear() { Items.clear(); }
    int Count() const { return static_cast<int>(Items.size()); }
    TAnalyte& operator[](int i) { return *Items[static_cast<size_t>(i)]; }
    const TAnalyte& operator[](int i) const { return *Items[static_cast<size_t>(i)]; }
    TAnalyte& Add(std::unique_ptr<TAnalyte> a) {
        Items.push_back(std::move(a));
        return *Items.back();
    }
    int IndexOf(const TAnalyte* a) const;
    int IndexOf(TAnalyteId uid) const;
    TAnalyte* Find(TAnalyteId uid) const;
    // Analytes whose material of a level in use is the identifier, in list order.
    std::vector<TAnalyte*> AnalytesUsingMaterial(int32_t id) const;
    // First analyte whose name equals the given one without regard to case.
    TAnalyte* FindByName(const std::string& name) const;

    std::vector<std::unique_ptr<TAnalyte>> Items;
};
