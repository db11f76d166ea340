// The daily QC summary: every point of every analyte entered on one day, listed and printed.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QList>
#include <QPixmap>
#include <string>
#include <vector>

#include "UPrnTable.h"
#include "UStructures.h"

class QCalendarWidget;
class QLabel;
class QPushButton;
class TPrintCanvas;
class TRowList;

// One point of the day: its analyte and its index there.
struct TDailyPoint {
    const TAnalyte* Analyte = nullptr;
    int Index = -1;
    const ControlPoint& Point() const { return Analyte->Points[static_cast<size_t>(Index)]; }
};

// The points of day d: analytes in list order, each one's points from the latest to the earliest.
std::vector<TDailyPoint> DailyPoints(const TListAnalytes& list, TDateTime day);
// The tab-separated line of the list for one point.
std::string DailyLine(const TDailyPoint& p);
std::vector<TPrnCell> DailyCells(const std::vector<TDailyPoint>& points);
std::string DailyTitle(TDateTime day);
void PrintDailyQC(TPrintCanvas& canvas, const std::vector<TDailyPoint>& points, TDateTime day);

// The status image of a level's value in the list: 11 x 11 dots, 12 x 12 cross; null for psEmpty.
QPixmap StatusImage(PointState s);

class TWinDailyQC : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinDailyQC)
public:
    explicit TWinDailyQC(QWidget* parent = nullptr);
    // Shows the points of today from the analyte list.
    int Execute(const TListAnalytes& list);

    void FormActivate();
    void CalendarChange();
    void BtTodayClick();
    void BtPrnClick();
    void LBDrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const;
    // The day whose points are listed.
    TDateTime Day() const;
    const std::vector<TDailyPoint>& Points() const { return points_; }
    // The list's tab stops (time, QC1, QC2, QC3, operator, comment): the first one after the widest
    // analyte name of the list.
    const QList<qreal>& TabStops() const { return tabStops_; }
    // Left edge, within a row, of the status image of a level (0-based): just before its column.
    int ImageLeft(int level) const { return static_cast<int>(tabStops_[1 + level]) - 15; }

    TRowList* LB; // one row per point of the day, its text made when drawn
    QCalendarWidget* Calendar;
    QPushButton* BtToday;
    QPushButton* BtPrn;
    QPushButton* BtOK;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillList();
    bool FormKeyPress(int key);
    const TListAnalytes* list_ = nullptr;
    std::vector<TDailyPoint> points_;
    QList<qreal> tabStops_;
    std::vector<QLabel*> captions_; // the column titles above the list
    void PlaceColumns();
};
