// The review sign-off line of the printouts and the texts of a level's limits in force.
#include "UPrnReview.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "UJournal.h"
#include "UOperations.h"
#include "UPrintJob.h"

namespace {
std::string Day(TDateTime d) {
    return JournalDateTime(d).substr(0, 10);
}
} // namespace

std::string ReviewedByText(const TAnalyte* a, TDateTime first, TDateTime last) {
    if (!a) return "";
    first = DatePart(first);
    last = DatePart(last);
    for (const TReview& r : Operations().Reviews(a->Name)) {
        if (r.Reopened() || r.First > first || r.Last < last) continue;
        return "Reviewed by " + r.Reviewer + " on " + r.SignedLocal.substr(0, 10) + " (" + Day(r.First) +
               " to " + Day(r.Last) + ")";
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
    if (text.empty()) text = "Reviewed by ______________________________    on ____________________";
    p.setPen(Qt::black);
    p.drawText(QRect(0, y, canvas.Width(), h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               ToQString(text));
    p.restore();
    return y + 2 * h;
}

std::string ReferencePeriodText(const TAnalyte& a, int level) {
    const auto l = static_cast<size_t>(level);
    switch (a.LimitMode[l]) {
    case lmLocked:
        if (a.LockFirst[l] >= 0 && a.LockLast[l] >= a.LockFirst[l] && a.LockLast[l] < a.Count())
            return "Locked limits, " + Day(a.Points[static_cast<size_t>(a.LockFirst[l])].DateTime) + " to " +
                   Day(a.Points[static_cast<size_t>(a.LockLast[l])].DateTime);
        return "Locked limits";
    case lmFixed:
        return "Fixed limits, typed in";
    default:
        if (a.Count() == 0) return "Mobile limits";
        return "Mobile limits, " + Day(a.Points.front().DateTime) + " to " + Day(a.Points.back().DateTime);
    }
}

std::string LevelSdText(const TAnalyte& a, int level) {
    const LevelStats& s = a.Limits[static_cast<size_t>(level)];
    if (s.State == 6) return "";
    const long double sd = std::fabs(s.Mean) * s.CV / 100.0L;
    return FormatFixed(sd, 8, a.Decimals + 2);
}
