// 13-pixel tab lists and their column titles for the archive and import windows.
#include "URefPrintout.h"

#include <QLabel>

#include "UPrintJob.h"
#include "UPrnReview.h"
#include "UPrnTable.h"
#include "URefCommon.h"
#include "URowList.h"

bool PrintTablePrintout(QWidget* parent, const TTablePrintout& t) {
    TPrintJobSpec job;
    job.JobTitle = ToQString(t.JobTitle);
    job.FileName = TPrintJob::SafeFileName(ToQString(t.Title));
    // The list asks for portrait; the viewer keeps the printer's, portrait unless turned in the preview.
    job.Orientation = QPageLayout::Portrait;
    std::vector<TPrnCell> cells;
    cells.reserve(t.Cells.size());
    for (const TPrintoutCell& c : t.Cells) cells.push_back({c.Text, c.Mark});
    return TPrintJob::Print(parent, job, [&](TPrintCanvas& canvas) {
        const int y = PrintTable(canvas, t.Title, t.HeaderLines, cells, t.NCols, t.Widths, t.Archive);
        // An archive is QC data: it ends with the line to sign.
        if (t.Archive) PrintReviewLine(canvas, y, nullptr, 0, 0);
    });
}

namespace refui {
namespace {
class TRow13Delegate : public TTabListDelegate {
public:
    TRow13Delegate(QObject* parent, bool markSelection)
        : TTabListDelegate(parent), markSelection_(markSelection) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        if (!markSelection_) o.state &= ~QStyle::State_Selected;
        TTabListDelegate::paint(p, o, index);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(100, 13); }

private:
    bool markSelection_;
};
} // namespace

TRowList* MakeRowList13(QWidget* parent, const char* name, std::vector<int> tabStops, bool markSelection) {
    auto* list = new TRowList(parent, name);
    auto* d = new TRow13Delegate(list, markSelection);
    d->SetTabStops(std::move(tabStops));
    list->setItemDelegate(d);
    return list;
}

void PlaceColumnTitles(QWidget* parent, const QWidget* list, const std::vector<const char*>& titles,
                       const std::vector<int>& offsets) {
    for (size_t i = 0; i < titles.size() && i < offsets.size(); ++i) {
        auto* l = new QLabel(QCoreApplication::translate("URefPrintout", titles[i]), parent);
        l->adjustSize();
        l->move(list->x() + offsets[i] + 2, list->y() - 16);
    }
}
} // namespace refui
