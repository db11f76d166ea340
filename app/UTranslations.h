// The interface's language: German or French translations chosen by the system locale, English otherwise.
#pragma once

#include <QLocale>
#include <QString>

// Loads the program's translation and Qt's own (standard buttons, print dialog) for the locale's
// languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG for the system locale) and installs them, with the
// translator of core's message templates. The program's is looked for next to the executable, then
// where the package installs it. Returns the language loaded ("de", "fr"), empty when the interface
// stays English. A second call replaces the first one's translations. `folder`, when given, is looked
// in first (tests use the build's).
QString InstallTranslations(const QLocale& locale = QLocale::system(), const QString& folder = {});
