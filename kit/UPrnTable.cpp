// The table printer of every tabular printout: title box, banner, header lines, paged grid, footers.
#include "UPrnTable.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "UCodePage.h"
#include "UMessages.h"
#include "UPrintJob.h"
#include "UPrnWrapped.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPrnTable)
};
} // namespace

const char* const ArchiveBannerText = QT_TRANSLATE_NOOP("UPrnTable", "  Archive document - Keep it  ");

namespace {

// The row-by-row walk of the table: pages, heading rows and the merging of the first two columns.
class TTableWalker {
public:
    TTableWalker(TTableLayout& lay, const std::vector<TPrnCell>& cells, int nCols, int lastRow)
        : lay_(lay), cells_(cells), n_(nCols), R_(lastRow) {}

    void Run(int y) {
        y_ = y;
        open0_ = open1_ = y;
        lay_.Pages.emplace_back();
        bool headingDue = true;
        for (int i = 1; i <= R_; ++i) {
            if (headingDue) {
                Row(0);
                headingDue = false;
            }
            Row(i);
            if (y_ >= lay_.PageLimit && i < R_) {
                lay_.Pages.emplace_back();
                y_ = lay_.RowHeight;
                open0_ = open1_ = y_;
                headingDue = true;
            }
        }
        lay_.ResultY = y_ + lay_.RowHeight;
    }

private:
    const std::string& Text(int r, int c) const { return cells_[static_cast<size_t>(r * n_ + c)].Text; }

    void Add(int r, int c, int left, int top, int right, int bottom) {
        lay_.Pages.back().Cells.push_back({{left, top, right, bottom}, r, c});
    }

    void Row(int r) {
        const int bottom = y_ + lay_.RowHeight + 1;
        int x = lay_.TableLeft;
        const auto& w = lay_.Widths;
        // A run of equal first-column texts stays open until its last row, the table's last row or
        // the page's last row, and is then drawn as one tall cell.
        bool closed0 = r == 0 || r == R_ || bottom - 1 >= lay_.PageLimit || Text(r, 0) != Text(r + 1, 0);
        if (closed0) {
            Add(r, 0, x, open0_, x + w[0] + 1, bottom);
            open0_ = bottom - 1;
        }
        x += w[0];
        // The second column merges only inside a run of the first.
        bool closed1 = closed0 || Text(r, 1) != Text(r + 1, 1);
        if (closed1) {
            Add(r, 1, x, open1_, x + w[1] + 1, bottom);
            open1_ = bottom - 1;
        }
        x += w[1];
        for (int k = 2; k < n_; ++k) {
            Add(r, k, x, y_, x + w[static_cast<size_t>(k)] + 1, bottom);
            x += w[static_cast<size_t>(k)];
        }
        y_ = bottom - 1;
    }

    TTableLayout& lay_;
    const std::vector<TPrnCell>& cells_;
    int n_;
    int R_;
    int y_ = 0;
    int open0_ = 0;
    int open1_ = 0;
};

QFont ArialFont(int pointSize, bool italic = false, bool bold = false) {
    QFont f("Arial");
    f.setPointSize(pointSize);
    f.setItalic(italic);
    f.setBold(bold);
    return f;
}

QRect QtRectOf(const TTableRect& r) {
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

// The printer's rectangle: filled with the brush, outlined up to Right - 1 and Bottom - 1.
void DrawBox(QPainter& p, const TTableRect& r) {
    p.drawRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1);
}

} // namespace

TTableLayout LayoutTable(const TTableMetrics& m, const std::string& title,
                         const std::vector<std::string>& headerLines, const std::vector<TPrnCell>& cells,
                         int nCols, const std::vector<int>& widths, bool archive) {
    TTableLayout lay;
    const int W = m.W, H = m.H;
    int y = 0;
    if (!title.empty()) {
        lay.HasTitle = true;
        lay.PaddedTitle = "  " + title + "  ";
        TTextExtent e = m.Extent(lay.PaddedTitle, 20);
        int left = (W - e.cx) / 2, right = left + e.cx, top = e.cy / 2, bottom = top + (3 * e.cy) / 2;
        lay.TitleBox = {left - 1, top - 1, right + 1, bottom + 1};
        lay.TitleText = {left, top, right, bottom};
        y = (5 * e.cy) / 2;
    }
    if (archive) {
        lay.HasBanner = true;
        lay.BannerSilver = lay.HasTitle; // the brush the title box left
        TTextExtent e = m.Extent(FromQ(TUnitTexts::tr(ArchiveBannerText)), 12);
        int right = W, left = W - e.cx, top = y, bottom = y + (3 * e.cy) / 2;
        lay.BannerBox = {left - 1, top - 1, right + 1, bottom + 1};
        lay.BannerText = {left, top, right, bottom};
    }
    const int h = m.CharHeight, a = m.AvgCharWidth;
    // A table needs two columns and a width for each; anything less prints no grid.
    const bool usable = nCols >= 2 && static_cast<int>(widths.size()) >= nCols;
    int sum = 0;
    if (usable)
        for (int k = 0; k < nCols; ++k) {
            lay.Widths.push_back((widths[static_cast<size_t>(k)] * 4 * a) / 3);
            sum += lay.Widths.back();
        }
    // A column is widened to its widest text (a long date, a long name), as far as the page has room:
    // no text runs over a border.
    if (usable && m.Extent)
        for (int k = 0; k < nCols; ++k) {
            int& width = lay.Widths[static_cast<size_t>(k)];
            int widest = 0;
            for (size_t i = static_cast<size_t>(k); i < cells.size(); i += static_cast<size_t>(nCols))
                if (!cells[i].Text.empty()) widest = std::max(widest, m.Extent(cells[i].Text, 8).cx + a);
            const int wider = std::min(widest, width + std::max(0, W - sum));
            if (wider > width) {
                sum += wider - width;
                width = wider;
            }
        }
    lay.RowHeight = 2 * h;
    lay.TableLeft = (W - sum) / 2;
    if (!headerLines.empty()) {
        lay.HeaderX = lay.TableLeft / 2;
        for (size_t i = 0; i < headerLines.size(); ++i) {
            lay.HeaderY.push_back(y);
            y += (3 * h) / 2;
        }
        y += h;
    }
    lay.PageLimit = H - 3 * lay.RowHeight;
    const int R = usable ? static_cast<int>(cells.size()) / nCols - 1 : 0;
    // The estimate of the footers' page total from the room of the first and further pages. It is
    // one short when that room is an exact multiple of the row height, so the footers use the count
    // of the pages actually laid out below.
    const int L = lay.PageLimit, rh = lay.RowHeight > 0 ? lay.RowHeight : 1;
    int first = (L - y) / rh + 1, other = (L - rh) / rh + 1;
    if (first >= R + 1 || other < 2)
        lay.FormulaTotal = 1;
    else
        lay.FormulaTotal = (R - first) / (other - 1) + 2;
    TTableWalker(lay, cells, nCols, R).Run(y);
    return lay;
}

std::string TableFooterText(int page, int total, const std::string& paddedTitle, TDateTime day) {
    return FillQ(TUnitTexts::tr("- Page %1/%2 - %3 - Printed on %4 -"), std::to_string(page),
                 std::to_string(total), paddedTitle, FromQString(DateText(day)));
}

const char* ArrowText(uint8_t mark) {
    switch (mark) {
    case cmUp:
        return "\u2191";
    case cmUpUp:
        return "\u2191\u2191";
    case cmDown:
        return "\u2193";
    case cmDownDown:
        return "\u2193\u2193";
    default:
        return "";
    }
}

int AverageCharWidth(const QFont& font, QPaintDevice* device) {
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    QFontMetricsF fm(font, device);
    qreal sum = 0;
    for (int i = 0; i < 26; ++i) sum += weights[i] * fm.horizontalAdvance(QChar('a' + i));
    sum += weights[26] * fm.horizontalAdvance(QChar(' '));
    return qRound(sum / 1000);
}

TTableMetrics TableMetrics(TPrintCanvas& canvas) {
    QPainter& p = canvas.Painter();
    TTableMetrics m;
    m.W = canvas.Width();
    m.H = canvas.Height();
    QFontMetrics fm(ArialFont(8), p.device());
    m.CharHeight = fm.height();
    m.AvgCharWidth = AverageCharWidth(ArialFont(8), p.device());
    QPaintDevice* device = p.device();
    m.Extent = [device](const std::string& text, int pointSize) {
        QFontMetrics fm(ArialFont(pointSize), device);
        return TTextExtent{fm.horizontalAdvance(ToQ(text)), fm.height()};
    };
    return m;
}

int PrintTable(TPrintCanvas& canvas, const std::string& title, const std::vector<std::string>& headerLines,
               const std::vector<TPrnCell>& cells, int nCols, const std::vector<int>& widths, bool archive) {
    QPainter& p = canvas.Painter();
    const QBrush silver(QColor(192, 192, 192)), white(Qt::white);
    p.setPen(QPen(Qt::black, 1));

    const TTableMetrics m = TableMetrics(canvas);
    const TTableLayout lay = LayoutTable(m, title, headerLines, cells, nCols, widths, archive);
    const int total = static_cast<int>(lay.Pages.size());

    if (lay.HasTitle) {
        p.setFont(ArialFont(20));
        p.setBrush(silver);
        DrawBox(p, lay.TitleBox);
        p.drawText(QtRectOf(lay.TitleText), Qt::AlignCenter | Qt::TextSingleLine, ToQ(lay.PaddedTitle));
    }
    if (lay.HasBanner) {
        p.setFont(ArialFont(12));
        p.setBrush(lay.BannerSilver ? silver : white);
        DrawBox(p, lay.BannerBox);
        p.drawText(QtRectOf(lay.BannerText), Qt::AlignCenter | Qt::TextSingleLine,
                   TUnitTexts::tr(ArchiveBannerText));
    }
    if (!lay.HeaderY.empty()) {
        p.setBrush(white);
        p.setFont(ArialFont(8, true));
        for (size_t i = 0; i < lay.HeaderY.size(); ++i)
            p.drawText(QRect(lay.HeaderX, lay.HeaderY[i], m.W, m.H),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ToQ(headerLines[i]));
    }
    const QFont regular = ArialFont(8);
    p.setFont(regular);
    for (int page = 0; page < total; ++page) {
        if (page > 0) canvas.NewPage();
        for (const TLaidCell& c : lay.Pages[static_cast<size_t>(page)].Cells) {
            const TPrnCell& cell = cells[static_cast<size_t>(c.Row * nCols + c.Col)];
            p.setBrush(cell.Mark == cmSilver ? silver : white);
            DrawBox(p, c.Rect);
            p.drawText(QtRectOf(c.Rect), Qt::AlignCenter | Qt::TextSingleLine, ToQ(cell.Text));
            if (cell.Mark >= cmUp && cell.Mark <= cmDownDown) {
                // The arrows sit in the last fifth of the cell, beside the centred value.
                TTableRect r = c.Rect;
                r.Left += (lay.Widths[static_cast<size_t>(c.Col)] * 4) / 5;
                p.drawText(QtRectOf(r), Qt::AlignCenter | Qt::TextSingleLine,
                           QString::fromUtf8(ArrowText(cell.Mark)));
            } else if (cell.Mark == cmCross) {
                const TTableRect& r = c.Rect;
                p.drawLine(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
                p.drawLine(r.Left, r.Bottom - 1, r.Right - 1, r.Top);
            }
        }
        p.setBrush(white);
        // Numbered in the whole printout when it has parts after or before the table.
        PrintPageFooter(canvas, page + 1, total, lay.PaddedTitle);
    }
    return lay.ResultY;
}
