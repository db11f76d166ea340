// The interface's language: the program's and Qt's translators, and core's texts translated.
#include "UTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "UMessages.h"
#include "UTexts.h"

#ifndef VARNHOLT_TRANSLATIONS_DIR
#define VARNHOLT_TRANSLATIONS_DIR "../share/varnholt/translations"
#endif

namespace {
// Plurals: the English plural forms of the texts with a count, for an interface in English.
std::unique_ptr<QTranslator> Program, QtBase, Plurals;

std::string TranslateCore(const char* text) {
    return FromQ(QCoreApplication::translate("Core", text));
}

// A translator for the first of the locale's languages that has a file in one of the folders.
std::unique_ptr<QTranslator> Load(const QLocale& locale, const QString& name, const QStringList& folders) {
    auto t = std::make_unique<QTranslator>();
    for (const QString& folder : folders)
        if (!folder.isEmpty() && t->load(locale, name, QStringLiteral("_"), folder)) return t;
    return nullptr;
}
} // namespace

QString InstallTranslations(const QLocale& locale, const QString& folder) {
    for (auto* t : {&Program, &QtBase, &Plurals})
        if (*t) {
            QCoreApplication::removeTranslator(t->get());
            t->reset();
        }
    SetTextTranslator(TranslateCore);
    // The languages in the user's order; English, the source texts, ends the search, so a fallback
    // language after it (LANGUAGE=en:de) is not used.
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList folders = {folder, program, program + QStringLiteral("/" VARNHOLT_TRANSLATIONS_DIR)};
    QLocale chosen = QLocale::c();
    for (const QString& name : locale.uiLanguages()) {
        chosen = QLocale(name);
        if (chosen.language() == QLocale::English) break;
        if (chosen.language() == QLocale::C) continue;
        Program = Load(chosen, QStringLiteral("varnholt"), folders);
        if (Program) break;
    }
    // A locale without the program's translation keeps the whole interface English, Qt's buttons too.
    if (!Program) {
        Plurals = Load(QLocale(QLocale::English), QStringLiteral("varnholt"), folders);
        if (Plurals) QCoreApplication::installTranslator(Plurals.get());
        return {};
    }
    QCoreApplication::installTranslator(Program.get());
    QtBase = Load(chosen, QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    if (QtBase) QCoreApplication::installTranslator(QtBase.get());
    return QLocale::languageToCode(chosen.language());
}
