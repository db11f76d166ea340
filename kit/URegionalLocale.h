// The regional formats (dates, times, decimal mark) of a locale, as the program and the companion use
// them: one reading, so that both write and read the same exchange text on a station. Qt Core only.
#pragma once

#include <QLocale>
#include <optional>
#include <string>

#include "URegional.h"

// The formats of a locale: its short date pattern with four-digit years, its time pattern without a
// time zone, its decimal mark; a pattern the formats cannot write keeps the fixed default.
TRegional RegionalFromLocale(const QLocale& locale);

// The formats named on the companion's command line: "system" (the program's, from the environment's
// locale), "iso" (yyyy-MM-dd, HH:mm:ss, a point) or a locale name (de_DE, fr_FR, en_GB, C...). Empty for
// a name that is no locale.
std::optional<TRegional> RegionalByName(const std::string& name);
