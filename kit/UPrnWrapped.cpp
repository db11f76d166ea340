// The table printer with wrapped cells, and the page numbering of a printout made of parts.
#include "UPrnWrapped.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <numeric>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"

namespace {

int pagesOfPrintout = 0;

QFont ArialFont(int pointSize, bool italic = false) {
    QFont f("Arial");
    f.setPointSize(pointSize);
    f.setItalic(italic);
    return f;
}

// The printer's rectangle: filled with the brush, outlined up to Right - 1 and Bottom - 1.
void DrawBox(QPainter& p, const TTableRect& r) {
    p.drawRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1);
}

} // namespace

int PrintoutPages() {
    return pagesOfPrintout;
}

TPrintoutPages::TPrintoutPages(TPrintCanvas& canvas, const TPrintDrawer& draw) {
    pagesOfPrintout = 0;
    auto* device = dynamic_cast<QPagedPaintDevice*>(canvas.Painter().device());
    if (!device) return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(device->logicalDpiY());
    writer.setPageLayout(device->pageLayout());
    QPainter painter;
    if (!painter.begin(&writer)) return;
    TPrintCanvas count(writer, painter);
    draw(count);
    painter.end();
    pagesOfPrintout = count.Pages();
}

TPrintoutPages::~TPrintoutPages() {
    pagesOfPrintout = 0;
}

void PrintPageFooter(TPrintCanvas& canvas, int page, int total, const std::string& paddedTitle) {
    QPainter& p = canvas.Painter();
    p.save();
    const QFont regular = ArialFont(8);
    p.setFont(regular);
    p.setPen(Qt::black);
    if (PrintoutPages() > 0) {
        page = canvas.Pages();
        total = PrintoutPages();
    }
    const QString footer = ToQ(TableFooterText(page, total, paddedTitle, Today()));
    const QFontMetrics fm(regular, p.device());
    const int cx = fm.horizontalAdvance(footer), cy = fm.height();
    p.drawText(QRect((canvas.Width() - cx) / 2, canvas.Height() - cy - 2, cx, cy),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, footer);
    PrintFooterRule(canvas, canvas.Height() - cy - 2);
    p.restore();
}

void PrintFooterRule(TPrintCanvas& canvas, int textTop) {
    QPainter& p = canvas.Painter();
    p.save();
    p.setPen(QPen(Qt::black, std::max(1, p.device()->logicalDpiY() / 200)));
    const int y = textTop - QFontMetrics(ArialFont(8), p.device()).height() / 3;
    p.drawLine(0, y, canvas.Width() - 1, y);
    p.restore();
    PrintJournalHead(canvas, textTop);
}

void PrintJournalHead(TPrintCanvas& canvas, int textTop) {
    // The journal's head at the time of printing, at the right of the footer band: kept on paper, it
    // shows later whether the journal up to it was changed (journal verify --head).
    const std::string head = Operations().JournalAnchor();
    if (head.empty()) return;
    QPainter& p = canvas.Painter();
    p.save();
    const QFont small = ArialFont(6);
    p.setFont(small);
    p.setPen(Qt::black);
    const QString text =
        QCoreApplication::translate("UPrnTable", "Journal %1").arg(QString::fromStdString(head));
    const QFontMetrics fm(small, p.device());
    const int cx = fm.horizontalAdvance(text);
    // On the footer's line, its bottom on the footer text's bottom.
    const int top = textTop + QFontMetrics(ArialFont(8), p.device()).height() - fm.height();
    p.drawText(QRect(canvas.Width() - cx, top, cx, fm.height()),
               Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
    p.restore();
}

namespace {

// A cell's text broken into the lines of its column: between words, a word wider than the column
// anywhere.
struct TWrappedText {
    std::unique_ptr<QTextLayout> Layout;
    int Height = 0;
};

TWrappedText Wrap(const QString& text, const QFont& font, QPaintDevice* device, int width) {
    TWrappedText w;
    w.Layout = std::make_unique<QTextLayout>(text, font, device);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    w.Layout->setTextOption(option);
    w.Layout->setCacheEnabled(true);
    const QFontMetrics fm(font, device);
    w.Layout->beginLayout();
    int y = 0;
    for (QTextLine line = w.Layout->createLine(); line.isValid(); line = w.Layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += fm.height();
    }
    w.Layout->endLayout();
    w.Height = std::max(y, fm.height());
    return w;
}

} // namespace

int PrintWrappedTable(TPrintCanvas& canvas, const std::string& title,
                      const std::vector<std::string>& headerLines, const std::vector<TPrnCell>& cells,
                      int nCols, const std::vector<int>& widths) {
    QPainter& p = canvas.Painter();
    p.save();
    const QBrush silver(QColor(192, 192, 192)), white(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    const TTableMetrics m = TableMetrics(canvas);
    const QFont regular = ArialFont(8);
    const int h = m.CharHeight, pad = std::max(1, m.AvgCharWidth / 2);
    const std::string padded = title.empty() ? std::string() : "  " + title + "  ";
    int y = 0;
    if (!title.empty()) {
        const TTextExtent e = m.Extent(padded, 20);
        const int left = (m.W - e.cx) / 2, top = e.cy / 2;
        p.setFont(ArialFont(20));
        p.setBrush(silver);
        DrawBox(p, {left - 1, top - 1, left + e.cx + 1, top + (3 * e.cy) / 2 + 1});
        p.drawText(QRect(left, top, e.cx, (3 * e.cy) / 2), Qt::AlignCenter | Qt::TextSingleLine, ToQ(padded));
        y = (5 * e.cy) / 2;
    }
    p.setBrush(white);
    p.setFont(ArialFont(8, true));
    for (const std::string& line : headerLines) {
        p.drawText(QRect(0, y, m.W, m.H), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, ToQ(line));
        y += p.boundingRect(QRect(0, 0, m.W, m.H), Qt::AlignLeft | Qt::TextWordWrap, ToQ(line)).height() +
             h / 2;
    }
    if (!headerLines.empty()) y += h;

    const bool usable = nCols >= 1 && static_cast<int>(widths.size()) >= nCols;
    const int rows = usable ? static_cast<int>(cells.size()) / nCols : 0;
    if (rows == 0) {
        PrintPageFooter(canvas, 1, 1, padded);
        p.restore();
        return y + h;
    }
    // Column edges over the whole width, in proportion to the widths asked for.
    const long long sum = std::max(1LL, std::accumulate(widths.begin(), widths.begin() + nCols, 0LL));
    std::vector<int> edge(static_cast<size_t>(nCols) + 1, 0);
    long long run = 0;
    for (int k = 0; k < nCols; ++k) {
        run += std::max(0, widths[static_cast<size_t>(k)]);
        edge[static_cast<size_t>(k) + 1] = static_cast<int>(run * (m.W - 1) / sum);
    }
    // Every row's lines first: the pages and their count come before anything is drawn.
    std::vector<std::vector<TWrappedText>> laid(static_cast<size_t>(rows));
    std::vector<int> height(static_cast<size_t>(rows), 0);
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < nCols; ++k) {
            const TPrnCell& c = cells[static_cast<size_t>(r * nCols + k)];
            const int inner =
                std::max(1, edge[static_cast<size_t>(k) + 1] - edge[static_cast<size_t>(k)] - 2 * pad);
            laid[static_cast<size_t>(r)].push_back(Wrap(ToQ(c.Text), regular, p.device(), inner));
            height[static_cast<size_t>(r)] = std::max(height[static_cast<size_t>(r)],
                                                      laid[static_cast<size_t>(r)].back().Height + 2 * pad);
        }
    const int limit = m.H - 3 * h;             // room for the footer
    std::vector<std::pair<int, int>> pageRows; // first row and row after the last, heading not counted
    {
        int at = y + height[0];
        int first = 1;
        for (int r = 1; r < rows; ++r) {
            // A row taller than a whole page is cut at the page's end rather than never printed.
            if (at + height[static_cast<size_t>(r)] > limit && r > first) {
                pageRows.push_back({first, r});
                first = r;
                at = height[0];
            }
            at += height[static_cast<size_t>(r)];
        }
        pageRows.push_back({first, rows});
    }
    const int total = static_cast<int>(pageRows.size());
    auto drawRow = [&](int r, int top) {
        for (int k = 0; k < nCols; ++k) {
            const TPrnCell& c = cells[static_cast<size_t>(r * nCols + k)];
            const int left = edge[static_cast<size_t>(k)], right = edge[static_cast<size_t>(k) + 1];
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(c.Mark == cmSilver ? silver : white);
            DrawBox(p, {left, top, right + 1, top + height[static_cast<size_t>(r)] + 1});
            p.save();
            // Within the cell; a page left out of the printout keeps its empty clip.
            p.setClipRect(QRect(left, top, right - left, height[static_cast<size_t>(r)]),
                          p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            laid[static_cast<size_t>(r)][static_cast<size_t>(k)].Layout->draw(&p,
                                                                              QPointF(left + pad, top + pad));
            p.restore();
        }
        return top + height[static_cast<size_t>(r)];
    };
    for (int page = 0; page < total; ++page) {
        if (page > 0) {
            canvas.NewPage();
            y = 0;
        }
        p.setFont(regular);
        y = drawRow(0, y);
        for (int r = pageRows[static_cast<size_t>(page)].first;
             r < pageRows[static_cast<size_t>(page)].second; ++r)
            y = drawRow(r, y);
        PrintPageFooter(canvas, page + 1, total, padded);
    }
    p.restore();
    return y + h;
}
