// The regional formats (dates, times, decimal mark) of a locale, as the program and the companion use
// them: one reading, so that both write and read the same exchange text on a station. Qt Core only.
#include "URegionalLocale.h"

#include <QRegularExpression>

TRegional RegionalFromLocale(const QLocale& locale) {
    TRegional r;
    // Only the pattern letters the regional formats understand; anything else keeps the default.
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QRegularExpression(QStringLiteral("[A-LN-Za-ce-xz]"))) &&
        date.contains(QLatin1Char('d'))) {
        // The dates are written with four-digit years; the date pickers show the same pattern.
        date.replace(QRegularExpression(QStringLiteral("(?<!y)y{1,3}(?!y)")), QStringLiteral("yyyy"));
        r.ShortDateFormat = date.toStdString();
    }
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    if (!time.contains(QRegularExpression(QStringLiteral("[B-GI-OQ-Zb-gi-lnoqrt-z]"))) &&
        time.contains(QLatin1Char('m')))
        r.TimeFormat = time.toStdString();
    QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 0x80)
        r.DecimalSeparator = static_cast<char>(point[0].unicode());
    return r;
}

std::optional<TRegional> RegionalByName(const std::string& name) {
    if (name == "system") return RegionalFromLocale(QLocale::system());
    if (name == "iso") return TRegional{"yyyy-MM-dd", "HH:mm:ss", '.'};
    const QString text = QString::fromStdString(name);
    const QLocale locale(text);
    // An unknown name gives the C locale: only "C" and "POSIX" may.
    if (locale.language() == QLocale::C && text != QLatin1String("C") && text != QLatin1String("POSIX"))
        return std::nullopt;
    return RegionalFromLocale(locale);
}
