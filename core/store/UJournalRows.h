// One journal row of the database read into an entry: the columns and their order.
#pragma once

#include "UDatabase.h"
#include "UJournal.h"

// The columns `JournalEntryOf` reads, in its order, for a SELECT.
inline constexpr const char* JournalEntryColumns =
    "id, time_utc, time_local, operator, kind, analyte, level, point, before, after, reason, hash";

// The entry at the statement's current row, selected with `JournalEntryColumns`.
TJournalEntry JournalEntryOf(const TStatement& st);

// Writes `e` as it is (id and hash included) inside the caller's transaction.
void InsertJournalEntry(const TDatabase& db, const TJournalEntry& e);
