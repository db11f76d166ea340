// The daily QC summary: every point of every analyte entered on one day, listed and printed.
#include "UDailyQC.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <algorithm>

#include "UMessages.h"
#include "UPrintJob.h"
#include "UPrnData.h"
#include "UPrnReview.h"
#include "URowList.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UDailyQC)
};
} // namespace

namespace {

constexpr int ItemHeight = 13;
// The columns after the analyte's name, from the time's tab stop.
const QList<qreal> BaseTabStops = {110, 180, 240, 300, 350, 395};

// Hands the drawing of every list entry to the window.
class TDailyDelegate : public QStyledItemDelegate {
public:
    explicit TDailyDelegate(const TWinDailyQC* win)
        : QStyledItemDelegate(const_cast<TWinDailyQC*>(win)), win_(win) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        win_->LBDrawItem(*painter, index.row(), option.rect, option.state & QStyle::State_Selected);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), ItemHeight);
    }

private:
    const TWinDailyQC* win_;
};

} // namespace

std::vector<TDailyPoint> DailyPoints(const TListAnalytes& list, TDateTime day) {
    const TDateTime d = DatePart(day);
    std::vector<TDailyPoint> out;
    for (int k = 0; k < list.Count(); ++k) {
        const TAnalyte& a = list[k];
        int i = a.Count() - 1;
        while (i >= 0 && a.Points[static_cast<size_t>(i)].DateTime >= d + 1) --i;
        for (; i >= 0 && a.Points[static_cast<size_t>(i)].DateTime >= d; --i) out.push_back({&a, i});
    }
    return out;
}

std::string DailyLine(const TDailyPoint& dp) {
    const TAnalyte& a = *dp.Analyte;
    const ControlPoint& p = dp.Point();
    std::string line = a.Name + "\t" + Regional.TimeToText(p.DateTime) + "\t";
    for (int i = 0; i < MaxLevels; ++i) {
        const LevelValue& lv = p.Levels[static_cast<size_t>(i)];
        if (i < a.NbLevels && lv.State != psEmpty) line += FormatFixed(lv.Value, 8, a.Decimals);
        line += "\t";
    }
    line += p.Operator.Str() + "\t";
    if (p.CommentId >= 0) line += a.CommentText(p.CommentId);
    return line;
}

std::vector<TPrnCell> DailyCells(const std::vector<TDailyPoint>& points) {
    std::vector<TPrnCell> cells;
    for (const char* h : {QT_TRANSLATE_NOOP("UDailyQC", "Analytes"), QT_TRANSLATE_NOOP("UDailyQC", "Time"),
                          QT_TRANSLATE_NOOP("UDailyQC", "QC1"), QT_TRANSLATE_NOOP("UDailyQC", "QC2"),
                          QT_TRANSLATE_NOOP("UDailyQC", "QC3"), QT_TRANSLATE_NOOP("UDailyQC", "Operator"),
                          QT_TRANSLATE_NOOP("UDailyQC", "Comment")})
        cells.push_back({FromQ(TUnitTexts::tr(h)), cmSilver});
    for (const TDailyPoint& dp : points) {
        const TAnalyte& a = *dp.Analyte;
        const ControlPoint& p = dp.Point();
        cells.push_back({a.Name, cmNone});
        cells.push_back({Regional.TimeToText(p.DateTime), cmNone});
        for (int i = 0; i < MaxLevels; ++i) {
            const LevelValue& lv = p.Levels[static_cast<size_t>(i)];
            if (i < a.NbLevels && lv.State != psEmpty) {
                cells.push_back({FormatFixed(lv.Value, 8, a.Decimals), ValueMark(lv.State)});
            } else {
                cells.push_back({"", cmNone});
            }
        }
        cells.push_back({p.Operator.Str(), cmNone});
        cells.push_back({p.CommentId >= 0 ? a.CommentText(p.CommentId) : std::string(), cmNone});
    }
    return cells;
}

std::string DailyTitle(TDateTime day) {
    return FillQ(TUnitTexts::tr("Cumulative daily QC : %1"), FromQString(DateText(day)));
}

void PrintDailyQC(TPrintCanvas& canvas, const std::vector<TDailyPoint>& points, TDateTime day) {
    const int y = PrintTable(canvas, DailyTitle(day), {"", ""}, DailyCells(points), 7,
                             {17, 9, 12, 12, 12, 9, 24}, true);
    // Several analytes: the day is signed by hand.
    PrintReviewLine(canvas, y, nullptr, day, day);
}

QPixmap StatusImage(PointState s) {
    if (s == psEmpty) return QPixmap();
    // Drawn on white, which the list treats as transparent, as the shared status bitmaps are.
    const bool cross = s == psDiscarded;
    QPixmap pm(cross ? 12 : 11, cross ? 12 : 11);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (cross) {
        p.setPen(QPen(QColor(255, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 2), QPointF(10, 10));
        p.drawLine(QPointF(2, 10), QPointF(10, 2));
        return pm;
    }
    QColor c = s == psInControl                            ? QColor(0, 192, 0)
               : (s == psHighWarning || s == psLowWarning) ? QColor(255, 224, 0)
                                                           : QColor(255, 0, 0);
    p.setPen(QPen(c.darker(140), 1));
    p.setBrush(c);
    p.drawEllipse(QRectF(1, 1, 9, 9));
    return pm;
}

TWinDailyQC::TWinDailyQC(QWidget* parent) : QDialog(parent) {
    setObjectName("WinDailyQC");
    setWindowTitle(tr("QC daily summary"));
    QFont small = font();
    small.setPointSize(8);
    const int listLeft = 8, listTop = 26, listWidth = 560, listHeight = 300;
    for (const char* caption :
         {QT_TRANSLATE_NOOP("UDailyQC", "Analyte"), QT_TRANSLATE_NOOP("UDailyQC", "Time"),
          QT_TRANSLATE_NOOP("UDailyQC", "QC1"), QT_TRANSLATE_NOOP("UDailyQC", "QC2"),
          QT_TRANSLATE_NOOP("UDailyQC", "QC3"), QT_TRANSLATE_NOOP("UDailyQC", "Operator"),
          QT_TRANSLATE_NOOP("UDailyQC", "Comment")}) {
        captions_.push_back(new QLabel(tr(caption), this));
        captions_.back()->move(listLeft + 3, 8);
    }
    LB = new TRowList(this, "LB");
    LB->setFont(small);
    LB->setItemDelegate(new TDailyDelegate(this));
    LB->setGeometry(listLeft, listTop, listWidth, listHeight);
    PlaceColumns();
    auto* lblDate = new QLabel(tr("Date"), this);
    lblDate->move(listLeft + listWidth + 12, 8);
    Calendar = new QCalendarWidget(this);
    Calendar->setObjectName("Calendar");
    // Without week numbers the calendar is narrow enough for the window to fit an 800-pixel screen.
    constexpr int calendarWidth = 204;
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar->setGeometry(listLeft + listWidth + 12, listTop, calendarWidth, 190);
    connect(Calendar, &QCalendarWidget::selectionChanged, this, &TWinDailyQC::CalendarChange);
    BtToday = new QPushButton(tr("&Today"), this);
    BtToday->setObjectName("BtToday");
    BtPrn = new QPushButton(tr("&Print"), this);
    BtPrn->setObjectName("BtPrn");
    BtOK = new QPushButton(tr("Close"), this);
    BtOK->setObjectName("BtOK");
    int bx = listLeft + listWidth + 12, by = listTop + 200;
    for (QPushButton* b : {BtToday, BtPrn, BtOK}) {
        b->setGeometry(bx, by, 64, 25);
        bx += 70;
    }
    connect(BtToday, &QPushButton::clicked, this, &TWinDailyQC::BtTodayClick);
    connect(BtPrn, &QPushButton::clicked, this, &TWinDailyQC::BtPrnClick);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(listLeft + listWidth + 12 + calendarWidth + 8, listTop + listHeight + 10);
    // The window previews the keys of its controls: Escape and Enter close it from anywhere.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

int TWinDailyQC::Execute(const TListAnalytes& list) {
    list_ = &list;
    FormActivate();
    int result = exec();
    LB->Rows()->Reset(0, {});
    points_.clear();
    list_ = nullptr;
    return result;
}

void TWinDailyQC::FormActivate() {
    BtTodayClick();
}

void TWinDailyQC::BtTodayClick() {
    const QDate today = QDateOf(Today());
    if (Calendar->selectedDate() != today)
        Calendar->setSelectedDate(today); // refills through CalendarChange
    else
        FillList();
    // The calendar may show another month that was browsed to: bring back the listed day's.
    Calendar->showSelectedDate();
    Calendar->setFocus();
}

void TWinDailyQC::CalendarChange() {
    FillList();
}

TDateTime TWinDailyQC::Day() const {
    return DayOf(Calendar->selectedDate());
}

void TWinDailyQC::PlaceColumns() {
    // The name column is as wide as the widest name of the list (15 characters may pass 110 pixels).
    const QFontMetrics fm(LB->font());
    int widest = 0;
    if (list_)
        for (int k = 0; k < list_->Count(); ++k)
            widest = std::max(widest, fm.horizontalAdvance(ToQString((*list_)[k].Name)));
    const qreal shift = std::max<qreal>(0, widest + 8 - BaseTabStops[0]);
    tabStops_.clear();
    for (qreal s : BaseTabStops) tabStops_.append(s + shift);
    for (size_t k = 0; k < captions_.size(); ++k)
        captions_[k]->move(LB->x() + 3 + (k == 0 ? 0 : static_cast<int>(tabStops_[static_cast<int>(k) - 1])),
                           captions_[k]->y());
}

void TWinDailyQC::FillList() {
    points_.clear();
    if (list_) points_ = DailyPoints(*list_, Day());
    PlaceColumns();
    LB->Rows()->Reset(static_cast<int>(points_.size()), [this](int i) {
        return i < static_cast<int>(points_.size()) ? ToQString(DailyLine(points_[static_cast<size_t>(i)]))
                                                    : QString();
    });
}

void TWinDailyQC::LBDrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const {
    painter.save();
    QColor back = selected ? QColor(0, 0, 128) : (index % 2 ? QColor(192, 255, 255) : QColor(Qt::white));
    painter.fillRect(rect, back);
    painter.setPen(selected ? Qt::white : Qt::black);
    painter.setFont(LB->font());
    if (index >= 0 && index < LB->Count()) {
        QTextOption opt;
        opt.setTabArray(tabStops_);
        opt.setWrapMode(QTextOption::NoWrap);
        painter.drawText(QRectF(rect.left(), rect.top() + 1, rect.width(), rect.height() - 1),
                         LB->RowText(index), opt);
    }
    if (index >= 0 && index < static_cast<int>(points_.size())) {
        const TDailyPoint& dp = points_[static_cast<size_t>(index)];
        for (int i = 0; i < dp.Analyte->NbLevels && i < MaxLevels; ++i) {
            QPixmap img = StatusImage(dp.Point().Levels[static_cast<size_t>(i)].State);
            if (!img.isNull()) painter.drawPixmap(rect.left() + ImageLeft(i), rect.top() + 2, img);
        }
    }
    painter.restore();
}

void TWinDailyQC::BtPrnClick() {
    if (points_.empty()) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Nothing to print")));
        return;
    }
    const TDateTime day = Day();
    const auto points = DailyPoints(*list_, day);
    TPrintJobSpec job;
    job.FileName = TPrintJob::SafeFileName(ToQString(DailyTitle(day)));
    job.Orientation = QPageLayout::Portrait;
    if (TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) { PrintDailyQC(canvas, points, day); }))
        accept();
}

bool TWinDailyQC::FormKeyPress(int key) {
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        accept();
        return true;
    }
    return false;
}

bool TWinDailyQC::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyPress(static_cast<QKeyEvent*>(event)->key())) return true;
    return QDialog::eventFilter(watched, event);
}

void TWinDailyQC::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyPress(event->key())) QDialog::keyPressEvent(event);
}
