// The journal's head, printed on the printouts and checked against the journal later.
#include "UOperations.h"

#include <cctype>

#include "UTexts.h"

namespace {
constexpr size_t AnchorDigits = 16;
constexpr size_t MinAnchorDigits = 8;
} // namespace

std::string TOperations::JournalAnchor() const {
    try {
        if (!db_.IsOpen()) return {};
        const std::optional<std::string> head = db_.Meta("journal_head");
        if (!head) return {};
        const size_t space = head->find(' ');
        if (space == std::string::npos || space == 0 || head->size() < space + 1 + AnchorDigits) return {};
        return head->substr(0, space) + ":" + head->substr(space + 1, AnchorDigits);
    } catch (const EQcError&) {
        return {};
    }
}

TJournalCheck TOperations::CheckJournalAnchor(const std::string& anchor) const {
    std::string text = Trim(anchor);
    int64_t id = 0;
    if (const size_t colon = text.find(':'); colon != std::string::npos) {
        const std::string digits = text.substr(0, colon);
        if (digits.empty() || digits.size() > 18 ||
            !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Not a journal head: %1"), anchor));
        id = std::stoll(digits);
        text = text.substr(colon + 1);
    }
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (text.size() < MinAnchorDigits || text.size() > 64 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Not a journal head: %1"), anchor));

    TJournalCheck check = CheckJournal();
    if (!check.Whole) return check;
    bool found = false;
    if (db_.IsOpen()) {
        TStatement st =
            db_.Prepare(id > 0 ? "SELECT 1 FROM journal WHERE id = ?1 AND substr(hash, 1, ?3) = ?2"
                               : "SELECT 1 FROM journal WHERE substr(hash, 1, ?3) = ?2");
        if (id > 0) st.Bind(1, id);
        st.Bind(2, text).Bind(3, static_cast<int64_t>(text.size()));
        found = st.Step();
    } else
        for (const TJournalEntry& e : Journal())
            if ((id == 0 || e.Id == id) && e.Hash.compare(0, text.size(), text) == 0) found = true;
    if (!found) {
        check.Whole = false;
        check.FirstBad = id;
        check.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "The journal holds no entry with the head %1: entries "
                                           "up to it were changed or removed since it was printed"),
                 anchor);
    }
    return check;
}
