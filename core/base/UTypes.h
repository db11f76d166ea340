// Plain records shared by every layer: level values, control points, runs in transit, statistics.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "URegional.h"

enum PointState : uint8_t {
    psInControl = 0,
    psHighWarning = 1,
    psHighAction = 2,
    psLowWarning = 3,
    psLowAction = 4,
    psDiscarded = 5,
    psEmpty = 6
};

enum LimitMode : uint8_t { lmMobile = 0, lmLocked = 1, lmFixed = 2 };

// Names of the limit modes, shared by the chart legend and the limits view.
inline constexpr std::array<const char*, 3> LimitModeNames = {"Mobile limits", "Locked limits",
                                                              "Fixed limits"};

constexpr int MaxLevels = 3;

struct LevelValue {
    float Value = 0;
    PointState State = psEmpty;
    bool operator==(const LevelValue&) const = default;
};

using TLevelValues = std::array<LevelValue, MaxLevels>;

// A short string of the data file kept inline: a length and at most Room characters.
template <size_t Room> class TShortString {
public:
    TShortString() = default;
    TShortString(std::string_view s) { Assign(s); }
    void Assign(std::string_view s) {
        len_ = static_cast<uint8_t>(s.size() < Room ? s.size() : Room);
        for (size_t i = 0; i < len_; ++i) chars_[i] = s[i];
    }
    // A length byte followed by Room characters, as files hold it; characters beyond the length
    // are not kept.
    void AssignImage(const char* image) {
        len_ = static_cast<uint8_t>(image[0]) < Room ? static_cast<uint8_t>(image[0]) : Room;
        if constexpr (Room < 8 && std::endian::native == std::endian::little) {
            // All characters at once, those beyond the length masked out.
            uint64_t chars = 0;
            std::memcpy(&chars, image + 1, Room);
            chars &= (uint64_t{1} << (8 * len_)) - 1;
            std::memcpy(chars_, &chars, Room);
        } else {
            for (size_t i = 0; i < Room; ++i) chars_[i] = i < len_ ? image[1 + i] : '\0';
        }
    }
    std::string Str() const { return std::string(chars_, len_); }
    std::string_view View() const { return std::string_view(chars_, len_); }
    bool operator==(const TShortString& o) const { return View() == o.View(); }

private:
    uint8_t len_ = 0;
    char chars_[Room] = {};
};

// One stored run of one analyte.
struct ControlPoint {
    TDateTime DateTime = 0;
    TLevelValues Levels{};
    int32_t CommentId = -1;
    TShortString<4> Operator;
};

// One run in transit: entry, queue, import, random generator.
struct TResu {
    TDateTime DateTime = 0;
    TLevelValues Levels{};
    std::string Comment;
    std::string Operator;
    std::string AnalyteName;
};

// One level's statistics and limits.
struct LevelStats {
    long double Mean = 0;
    long double WarnDev = 0;
    long double ActionDev = 0;
    long double Min = 0;
    long double Max = 0;
    long double RangeLow = 0;
    long double RangeHigh = 0;
    int32_t N = 0;
    int32_t NDiscarded = 0;
    int32_t DF = 0;
    float CV = 0;
    uint8_t State = 6; // 0 available, 6 unavailable
};

inline bool IsCounted(PointState s) {
    return s <= psLowAction;
}
inline bool IsHigh(PointState s) {
    return s == psHighWarning || s == psHighAction;
}
inline bool IsLow(PointState s) {
    return s == psLowWarning || s == psLowAction;
}
