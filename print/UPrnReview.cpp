// The review sign-off line of the printouts and the texts of a level's limits in force.
#include "UPrnReview.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "UCodePage.h"
#include "UJournal.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnWrapped.h"
#include "UReviewReport.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPrnReview)
};
} // namespace

namespace {
// A day as the windows and the other printouts show dates.
std::string Day(TDateTime d) {
    return FromQString(DateText(d));
}

// The local day of a signature (an ISO date and time), shown the same way.
std::string SignedDay(const std::string& signedLocal) {
    const std::optional<TDateTime> d = IsoTextToDate(signedLocal.substr(0, 10));
    return d ? Day(*d) : signedLocal.substr(0, 10);
}
} // namespace

std::string ReviewedByText(const TAnalyte* a, TDateTime first, TDateTime last) {
    if (!a) return "";
    first = DatePart(first);
    last = DatePart(last);
    for (const TReview& r : Operations().Reviews(a->Name)) {
        if (r.Reopened() || r.First > first || r.Last < last) continue;
        return FillQ(TUnitTexts::tr("Reviewed by %1 on %2 (%3 to %4)"), r.Reviewer, SignedDay(r.SignedLocal),
                     Day(r.First), Day(r.Last));
    }
    return "";
}

int PrintReviewLine(TPrintCanvas& canvas, int y, const TAnalyte* a, TDateTime first, TDateTime last) {
    QPainter& p = canvas.Painter();
    p.save();
    QFont f("Arial");
    f.setPointSize(9);
    p.setFont(f);
    QFontMetrics fm(p.font(), p.device());
    const int h = fm.height();
    // Room for the line and the footer under it.
    if (y + 4 * h > canvas.Height()) {
        canvas.NewPage();
        y = 0;
    }
    y += h;
    std::string text = ReviewedByText(a, first, last);
    if (text.empty())
        text = FromQ(TUnitTexts::tr("Reviewed by ______________________________    on ____________________"));
    p.setPen(Qt::black);
    p.drawText(QRect(0, y, canvas.Width(), h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               ToQString(text));
    p.restore();
    return y + 2 * h;
}

void PrintReviewReport(TPrintCanvas& canvas, const std::vector<const TAnalyte*>& analytes, TDateTime first,
                       TDateTime last) {
    QPainter& p = canvas.Painter();
    int y = 0;
    for (const TAnalyte* a : analytes) {
        TJournalFilter f;
        f.Analyte = Cp1252ToUtf8(a->Name);
        const TReviewSummary s = ReviewReport(*a, first, last, Operations().Journal(f),
                                              Operations().Reviews(a->Name), Operations().RuleSet(a->Name));
        p.save();
        QFont font("Courier New");
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSize(8);
        p.setFont(font);
        p.setPen(Qt::black);
        const int h = QFontMetrics(p.font(), p.device()).height();
        for (const std::string& line : s.Lines) {
            if (y + 2 * h > canvas.Height()) {
                canvas.NewPage();
                y = 0;
            }
            p.drawText(QRect(0, y, canvas.Width(), h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       ToQString(line));
            y += h;
        }
        p.restore();
        y = PrintReviewLine(canvas, y, a, first, last);
    }
    // The journal's head as the review saw it, at the foot of the last page.
    QFont small("Arial");
    small.setPointSize(6);
    PrintJournalHead(canvas, canvas.Height() - QFontMetrics(small, p.device()).height() - 2);
}

std::string ReferencePeriodText(const TAnalyte& a, int level) {
    const auto l = static_cast<size_t>(level);
    switch (a.LimitMode[l]) {
    case lmLocked:
        if (a.LockFirst[l] >= 0 && a.LockLast[l] >= a.LockFirst[l] && a.LockLast[l] < a.Count())
            return FillQ(TUnitTexts::tr("Locked limits, %1 to %2"),
                         Day(a.Points[static_cast<size_t>(a.LockFirst[l])].DateTime),
                         Day(a.Points[static_cast<size_t>(a.LockLast[l])].DateTime));
        return FromQ(TUnitTexts::tr("Locked limits"));
    case lmFixed:
        return FromQ(TUnitTexts::tr("Fixed limits, typed in"));
    default:
        if (a.Count() == 0) return FromQ(TUnitTexts::tr("Mobile limits"));
        return FillQ(TUnitTexts::tr("Mobile limits, %1 to %2"), Day(a.Points.front().DateTime),
                     Day(a.Points.back().DateTime));
    }
}

std::string LevelSdText(const TAnalyte& a, int level) {
    const LevelStats& s = a.Limits[static_cast<size_t>(level)];
    if (s.State == 6) return "";
    const long double sd = std::fabs(s.Mean) * s.CV / 100.0L;
    return FormatFixed(sd, 8, a.Decimals + 2);
}
