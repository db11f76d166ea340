// Shared pieces of the reference windows: text conversion, owner-drawn tabbed lists, key button, marks.
#include "URefCommon.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStringList>
#include <QTextOption>
#include <algorithm>

#include "UCodePage.h"
#include "UPrintJob.h"
#include "UUtilitaires.h"

namespace refui {

QString ToQt(const std::string& ansi) {
    return QString::fromStdString(Cp1252ToUtf8(ansi));
}

std::string ToCore(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

void TTabListDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    p->save();
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    QColor back = selected ? SelectedBack : (index.row() % 2 == 1 ? OddBack : QColor(Qt::white));
    p->fillRect(r, back);
    p->setPen(selected ? Qt::white : Qt::black);
    p->setFont(option.font);
    QTextOption to;
    to.setWrapMode(QTextOption::NoWrap);
    QList<QTextOption::Tab> tabs;
    for (int s : stops_) tabs.append(QTextOption::Tab(s, QTextOption::LeftTab));
    to.setTabs(tabs);
    QRectF textRect(r.left(), r.top() + 1, 10000, r.height() - 1);
    p->setClipRect(r);
    p->drawText(textRect, index.data(Qt::DisplayRole).toString(), to);
    if (extra_) extra_(*p, r, index.row());
    p->restore();
}

QSize TTabListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(100, 16);
}

QListWidget* MakeTabList(QWidget* parent, const char* name, std::vector<int> tabStops) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    auto* d = new TTabListDelegate(list);
    d->SetTabStops(std::move(tabStops));
    list->setItemDelegate(d);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

TRowList* MakeRowList(QWidget* parent, const char* name, std::vector<int> tabStops) {
    auto* list = new TRowList(parent, name);
    auto* d = new TTabListDelegate(list);
    d->SetTabStops(std::move(tabStops));
    list->setItemDelegate(d);
    return list;
}

TTabListDelegate* TabDelegate(QAbstractItemView* list) {
    return static_cast<TTabListDelegate*>(list->itemDelegate());
}

namespace {

QPixmap Resource(const char* name, bool whiteTransparent) {
    QPixmap p(QStringLiteral(":/images/%1.xpm").arg(QLatin1String(name)));
    if (whiteTransparent && !p.isNull()) p.setMask(p.createMaskFromColor(Qt::white));
    return p;
}

QPixmap Dot(const char* name, QColor colour) {
    QPixmap pm = Resource(name, true);
    if (!pm.isNull()) return pm;
    pm = QPixmap(11, 11);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(150));
    p.setBrush(colour);
    p.drawEllipse(QRectF(0.5, 0.5, 10, 10));
    return pm;
}
} // namespace

QPixmap KeyPicture() {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 96, 0), 2));
    p.setBrush(QColor(230, 190, 40));
    p.drawEllipse(QRectF(2, 6, 8, 8));
    p.drawLine(QPointF(10, 10), QPointF(18, 10));
    p.drawLine(QPointF(15, 10), QPointF(15, 14));
    p.drawLine(QPointF(18, 10), QPointF(18, 13));
    return pm;
}

QPushButton* MakeKeyButton(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QStringLiteral("BtCle"));
    b->setIcon(QIcon(KeyPicture()));
    b->setIconSize(QSize(20, 20));
    b->setToolTip(QCoreApplication::translate("URefCommon", "Password"));
    return b;
}

const QPixmap& YellowDot() {
    static const QPixmap pm = Dot("PUCEJAUNE", QColor(255, 255, 0));
    return pm;
}

const QPixmap& RedDot() {
    static const QPixmap pm = Dot("PUCEROUGE", QColor(255, 0, 0));
    return pm;
}

const QPixmap& RedCross() {
    static const QPixmap pm = [] {
        QPixmap r = Resource("CROIXROUGE", true);
        if (!r.isNull()) return r;
        r = QPixmap(12, 12);
        r.fill(Qt::transparent);
        QPainter p(&r);
        p.setPen(QPen(QColor(255, 0, 0), 2));
        p.drawLine(1, 1, 10, 10);
        p.drawLine(10, 1, 1, 10);
        return r;
    }();
    return pm;
}

bool LevelHoldsPoints(const TAnalyte& a, int level) {
    for (const ControlPoint& p : a.Points)
        if (p.Levels[static_cast<size_t>(level)].State != psEmpty) return true;
    return false;
}

int SelectedRow(const QListWidget* list) {
    QListWidgetItem* it = list->currentItem();
    if (!it || !it->isSelected()) {
        const auto sel = list->selectedItems();
        return sel.isEmpty() ? -1 : list->row(sel.first());
    }
    return list->row(it);
}

QString ArchiveLineText(const std::string& line, std::initializer_list<size_t> dateFields) {
    std::vector<std::string> fields;
    SplitTabs(line, fields);
    QStringList shown;
    for (size_t k = 0; k < fields.size(); ++k)
        shown << (std::find(dateFields.begin(), dateFields.end(), k) != dateFields.end()
                      ? WrittenDateText(fields[k])
                      : ToQt(fields[k]));
    return shown.join(QLatin1Char('\t'));
}

} // namespace refui
