// The operations layer for the web view: its sign-ins in the server's journal.
#include "UCodePage.h"
#include "UOperations.h"
#include "UOperationsStores.h"
#include "UServerStore.h"
#include "UTexts.h"

TOutcome TOperations::JournalWebSignIn(const std::string& code, TWebSignIn what, const std::string& from) {
    if (!store_->KeepsAccounts())
        return TOutcome::Refuse(
            QT_TRANSLATE_NOOP("Core", "Operator accounts are kept on a server; this folder has none"));
    const char* kind = what == TWebSignIn::Accepted ? jk::SignedIn : jk::SignInRefused;
    std::string after = "web view";
    if (!from.empty()) after += " from " + from;
    if (what == TWebSignIn::Refused) after += ": wrong password";
    if (what == TWebSignIn::LockedOut) after += ": wrong password, too many failed sign-ins: locked out";
    Log(kind, nullptr, 0, std::nullopt, "", after);
    // The entry names the account (its code is UTF-8, as the server keeps it), not the operator the web
    // view itself signed in as.
    try {
        store_->RecordSignIn(code.empty() ? "?" : Utf8ToCp1252(code));
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    return {};
}

void TFolderStore::RecordSignIn(const std::string&) {
    throw EQcError(QT_TRANSLATE_NOOP("Core", "Operator accounts are kept on a server; this folder has none"));
}

void TSharedStore::RecordSignIn(const std::string& account) {
    ops_.HandJournalToServer(account);
    server_->InTransaction("sign-in", [] {});
}
