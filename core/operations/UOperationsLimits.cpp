// The operations layer: limits, options, erased levels and archives.
#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UOperationsStores.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <xxhash.h>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UJournalTexts.h"
#include "URandom.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace ops_common;

// ---------------------------------------------------------------- limits, erase, archives

TOutcome TOperations::SaveLimits(TAnalyte& a, const TLimitState& before, const std::string& reason) {
    const TLimitState now = TLimitState::Of(a);
    for (int k = 0; k < a.NbLevels; ++k) {
        std::string was = LimitsText(a, before, k), is = LimitsText(a, now, k);
        if (was != is) Log(jk::LimitsChanged, &a, k + 1, std::nullopt, was, is, reason);
    }
    if (TOutcome unsaved = SaveData(&a, [&] { RestoreLimits(a, before); }); !unsaved.Ok()) return unsaved;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::ApplyLimits(TAnalyte& a, const TLimitState& chosen, const std::string& reason) {
    const TLimitState before = TLimitState::Of(a);
    RestoreLimits(a, chosen);
    return SaveLimits(a, before, reason);
}

void TOperations::RestoreLimits(TAnalyte& a, const TLimitState& s) {
    a.LimitMode = s.Mode;
    a.LockFirst = s.LockFirst;
    a.LockLast = s.LockLast;
    a.Limits = s.Limits;
    a.RecalcAll();
}

TOutcome TOperations::SetAnalyteOptions(TAnalyte& a, uint8_t options) {
    if (a.Options == options) return {};
    uint8_t before = a.Options;
    Log(jk::OptionsChanged, &a, 0, std::nullopt, OptionsText(before), OptionsText(options));
    a.Options = options;
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a.Options = before;
                                        a.RecalcAll();
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

void TOperations::UnlinkArchives(const std::vector<int32_t>& numbers) {
    store_->DropArchives(numbers);
}

std::vector<int32_t> TOperations::RemoveArchiveFiles(const std::vector<int32_t>& numbers, TOutcome& outcome) {
    std::vector<EQcError> failures;
    std::vector<int32_t> stayed = store_->RemoveArchives(numbers, failures);
    for (const EQcError& e : failures) {
        outcome.Status = TStatus::Partial;
        outcome.Message += (outcome.Message.empty() ? "" : "\r") + std::string(e.what());
        if (!e.File.empty()) {
            outcome.File = e.File;
            outcome.Reason = e.Reason;
        }
    }
    return stayed;
}

TOutcome TOperations::EraseLevels(TAnalyte& a, const std::array<bool, MaxLevels>& levels,
                                  std::vector<int32_t>* numbers, const std::string& reason) {
    std::vector<TDateTime> times;
    for (const ControlPoint& p : a.Points)
        for (int k = 0; k < a.NbLevels; ++k)
            if (levels[static_cast<size_t>(k)] && p.Levels[static_cast<size_t>(k)].State != psEmpty) {
                times.push_back(p.DateTime);
                break;
            }
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    TAnalyte before = a;
    std::vector<int32_t> written;
    std::optional<EQcError> failure;
    for (int k = 0; k < a.NbLevels; ++k) {
        if (!levels[static_cast<size_t>(k)]) continue;
        try {
            written.push_back(ArchiveLevelFirst(a, k));
        } catch (const EQcError& e) {
            // The level that failed is untouched; the levels archived before it are still saved.
            failure = e;
            break;
        }
    }
    if (written.empty()) {
        staged_.clear();
        return failure ? TOutcome::FromError(*failure)
                       : TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing to erase"));
    }
    for (size_t i = 0, k = 0; k < MaxLevels && i < written.size(); ++k)
        if (levels[k] && static_cast<int>(k) < a.NbLevels) {
            const LevelStats& all = before.AllStats[k];
            Log(jk::LevelArchived, &a, static_cast<int>(k) + 1, std::nullopt,
                std::to_string(all.N + all.NDiscarded) + " values", "archive " + std::to_string(written[i++]),
                reason);
        }
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        UnlinkArchives(written);
                                    });
        !unsaved.Ok())
        return unsaved;
    if (numbers) *numbers = written;
    Notify(ckPoints | ckArchives, &a);
    return failure ? TOutcome::FromError(*failure, TStatus::Partial) : TOutcome{};
}

TOutcome TOperations::DeleteArchives(TAnalyte& a, const std::vector<int32_t>& numbers,
                                     const std::string& reason) {
    if (numbers.empty()) return {};
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for deleting archives"));
    std::vector<int32_t> before = a.ArchiveNumbers;
    std::vector<int32_t> gone;
    for (int32_t n : numbers) {
        auto it = std::find(a.ArchiveNumbers.begin(), a.ArchiveNumbers.end(), n);
        if (it == a.ArchiveNumbers.end()) continue;
        a.ArchiveNumbers.erase(it);
        gone.push_back(n);
        Log(jk::ArchiveDeleted, &a, 0, std::nullopt, "archive " + std::to_string(n), "deleted", reason);
    }
    if (TOutcome unsaved = SaveData(&a, [&] { a.ArchiveNumbers = std::move(before); }); !unsaved.Ok())
        return unsaved;
    // The data file no longer names them. An archive whose file cannot be removed keeps its number,
    // so that it is neither lost from the list nor left behind unlisted.
    TOutcome out;
    std::vector<int32_t> stayed = RemoveArchiveFiles(gone, out);
    if (!stayed.empty()) {
        for (int32_t n : stayed) a.ArchiveNumbers.push_back(n);
        std::sort(a.ArchiveNumbers.begin(), a.ArchiveNumbers.end());
        try {
            WriteData(&a);
        } catch (const EQcError& e) {
            out.Message += std::string("\r") + e.what();
        }
    }
    Notify(ckArchives, &a);
    return out;
}
