#include "UPrnUncertainty.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <iterator>

#include "UMessages.h"
#include "UPrnWrapped.h"
#include "UUtilitaires.h"

QString TUncertaintyTexts::Pct(const std::optional<long double>& v) {
    return v ? ToQString(FormatFixed(*v, 15, 2)) : QStringLiteral("-");
}

QString TUncertaintyTexts::Lots(const TLevelUncertainty& u) {
    QStringList lots;
    for (const TLotFigures& l : u.Lots) {
        QString t = l.CVPct ? tr("%1 %2: n %3, CV %4 %")
                                  .arg(ToQString(l.Material), ToQString(l.Lot))
                                  .arg(l.N)
                                  .arg(Pct(l.CVPct))
                            : tr("%1 %2: n %3").arg(ToQString(l.Material), ToQString(l.Lot)).arg(l.N);
        if (!l.Pooled) t += QLatin1Char(' ') + tr("(left out)");
        lots << t;
    }
    return lots.join(QLatin1Char('\n'));
}

QString TUncertaintyTexts::Source(TBiasSource source) {
    switch (source) {
    case TBiasSource::Target:
        return tr("target");
    case TBiasSource::Peer:
        return tr("peer data");
    case TBiasSource::Eqa:
        return tr("EQA results");
    default:
        return tr("none");
    }
}

QString TUncertaintyTexts::SourceLine(const TUncertaintyRequest& r) {
    switch (r.BiasSource) {
    case TBiasSource::Target:
        return tr("Source of the bias: the target's stated standard uncertainty, %1 %")
            .arg(Pct(r.TargetUPct));
    case TBiasSource::Eqa:
        return tr("Source of the bias: the EQA results of the period (RMS of the relative biases with "
                  "the uncertainty of the assigned values)");
    case TBiasSource::Peer:
        return tr("Source of the bias: the peer data of the period");
    default:
        return tr("Source of the bias: none, u(bias) = 0");
    }
}

QString TUncertaintyTexts::Met(const TLevelUncertainty& u) {
    if (!u.Meets) return QStringLiteral("-");
    return *u.Meets ? tr("yes") : tr("no");
}

QString TUncertaintyTexts::Formula(long double k) {
    return tr("u(Rw) = sqrt(sum (n_i - 1) CV_i^2 / sum (n_i - 1)) over the lots; "
              "u_c = sqrt(u(Rw)^2 + u(bias)^2); U = k x u_c with k = %1")
        .arg(ToQString(FormatFixed(k, 15, 2)));
}

void PrintUncertainty(TPrintCanvas& canvas, const TUncertaintyPrintout& p) {
    const std::string title = FillQ(TUncertaintyTexts::tr("Measurement uncertainty of %1"), p.Analyte);
    const std::vector<std::string> header = {
        FillQ(TUncertaintyTexts::tr("Period: %1 to %2"), FromQString(DateText(p.Request.From)),
              FromQString(DateText(p.Request.To))),
        FromQ(TUncertaintyTexts::SourceLine(p.Request)), FromQ(TUncertaintyTexts::Formula(p.Request.K))};
    const QStringList titles = {TUncertaintyTexts::tr("Level"),     TUncertaintyTexts::tr("Lots (n, CV)"),
                                TUncertaintyTexts::tr("N"),         TUncertaintyTexts::tr("u(Rw) %"),
                                TUncertaintyTexts::tr("u(bias) %"), TUncertaintyTexts::tr("u_c %"),
                                TUncertaintyTexts::tr("U %"),       TUncertaintyTexts::tr("k"),
                                TUncertaintyTexts::tr("Max. U %"),  TUncertaintyTexts::tr("Met")};
    std::vector<TPrnCell> cells;
    for (const QString& t : titles) cells.push_back({FromQString(t), cmSilver});
    for (const TLevelUncertainty& u : p.Levels) {
        const bool figures = u.Gap.empty();
        const QString row[] = {QString::number(u.Level + 1),
                               TUncertaintyTexts::Lots(u),
                               QString::number(u.N),
                               TUncertaintyTexts::Pct(u.URwPct),
                               figures ? TUncertaintyTexts::Pct(u.UBiasPct) : QStringLiteral("-"),
                               figures ? TUncertaintyTexts::Pct(u.UcPct) : QStringLiteral("-"),
                               figures ? TUncertaintyTexts::Pct(u.UPct) : QStringLiteral("-"),
                               ToQString(FormatFixed(u.K, 15, 2)),
                               TUncertaintyTexts::Pct(u.MaxUPct),
                               TUncertaintyTexts::Met(u)};
        for (size_t c = 0; c < std::size(row); ++c)
            cells.push_back({FromQString(row[c]), c == 0 ? cmSilver : cmNone});
    }
    int y = PrintWrappedTable(canvas, title, header, cells, static_cast<int>(titles.size()),
                              {6, 30, 6, 9, 9, 9, 9, 5, 9, 6});

    QPainter& painter = canvas.Painter();
    QFont font("Arial");
    font.setPointSize(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics fm(font, painter.device());
    const int line = fm.height(), W = canvas.Width(), H = canvas.Height();
    std::vector<std::string> lines;
    for (const TLevelUncertainty& u : p.Levels) {
        if (!u.Gap.empty())
            lines.push_back(FillQ(TUncertaintyTexts::tr("Level %1: no uncertainty: %2"),
                                  std::to_string(u.Level + 1), u.Gap));
        for (const std::string& n : u.Notes)
            lines.push_back(FillQ(TUncertaintyTexts::tr("Level %1: %2"), std::to_string(u.Level + 1), n));
    }
    for (const std::string& n : p.Notes) lines.push_back(n);
    lines.push_back(FillQ(TUncertaintyTexts::tr("Printed on %1"), FromQString(DateText(Today()))));
    for (const std::string& l : lines) {
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const int height =
            std::max(line, painter.boundingRect(QRect(0, 0, W, H), flags, ToQString(l)).height());
        if (y + height > H - 2 * line) {
            canvas.NewPage();
            y = 0;
        }
        painter.drawText(QRect(0, y, W, height), flags, ToQString(l));
        y += height;
    }
}
