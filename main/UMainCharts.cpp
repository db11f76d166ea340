// The main window's charts: painting, the visible stretch, the scroll bar, the mouse gestures and
// keys, and what a screen reader says of them.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>

#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcSummary.h"
#include "USharedImages.h"
#include "UWestgard.h"
#include "UWinComment.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UMainCharts)
};

QString PointStateText(PointState s) {
    switch (s) {
    case psInControl:
        return TUnitTexts::tr("in control");
    case psHighWarning:
    case psLowWarning:
        return TUnitTexts::tr("beyond a warning limit");
    case psHighAction:
    case psLowAction:
        return TUnitTexts::tr("beyond an action limit");
    case psDiscarded:
        return TUnitTexts::tr("discarded");
    default:
        return TUnitTexts::tr("no value");
    }
}

// A level's value at a point as a screen reader says it: the value, its state and the rules it fired.
QString LevelAtPoint(const TAnalyte& a, int index, int level) {
    const LevelValue& v = a.Points[static_cast<size_t>(index)].Levels[static_cast<size_t>(level)];
    if (v.State == psEmpty) return PointStateText(psEmpty);
    QString text = ToQ(FormatFixed(v.Value, 8, a.Decimals)) + QStringLiteral(" ") + ToQ(a.Unit) +
                   QStringLiteral(", ") + PointStateText(v.State);
    const TPointJudgement j = JudgePoint(a, index, Operations().RuleSet(a.Name));
    const std::string rules = PointRuleNames(j, level, " ", false);
    if (!rules.empty()) text += TUnitTexts::tr(", rules %1").arg(QString::fromStdString(rules));
    return text;
}

QString LevelName(const TAnalyte& a, int level) {
    return ToQ(ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(level)]).Name);
}

// What the charts show, for a screen reader: the selected point as the name, the levels' last
// values, limits and rules as the description.
class TAccessibleCharts : public QAccessibleWidget {
public:
    explicit TAccessibleCharts(QWidget* w) : QAccessibleWidget(w, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override {
        const TAnalyte* a = Operations().Current();
        if (t == QAccessible::Name) {
            QString name = TUnitTexts::tr("QC charts");
            if (!a || SelectedPoint < 0 || SelectedPoint >= a->Count()) return name;
            name +=
                QStringLiteral(": ") + DateTimeText(a->Points[static_cast<size_t>(SelectedPoint)].DateTime);
            for (int k = 0; k < a->NbLevels; ++k)
                name += QStringLiteral("; ") + LevelName(*a, k) + QStringLiteral(" ") +
                        LevelAtPoint(*a, SelectedPoint, k);
            return name;
        }
        if (t == QAccessible::Description) return Summary(a);
        return QAccessibleWidget::text(t);
    }

    static QString Summary(const TAnalyte* a) {
        if (!a) return TUnitTexts::tr("No analyte");
        QStringList parts;
        parts << TUnitTexts::tr("%1, number of points: %2").arg(ToQ(a->Name)).arg(a->Count());
        const int dec = a->Decimals + 1;
        for (int k = 0; k < a->NbLevels; ++k) {
            const LevelStats& s = a->Limits[static_cast<size_t>(k)];
            QString level = TUnitTexts::tr("Level %1, %2").arg(k + 1).arg(LevelName(*a, k));
            if (a->Count() > 0)
                level += TUnitTexts::tr(": last value %1").arg(LevelAtPoint(*a, a->Count() - 1, k));
            if (s.State != 6)
                level +=
                    TUnitTexts::tr("; target %1, warning limits %2 to %3, action limits %4 to %5")
                        .arg(ToQ(FormatFixed(s.Mean, 8, dec)), ToQ(FormatFixed(s.Mean - s.WarnDev, 8, dec)),
                             ToQ(FormatFixed(s.Mean + s.WarnDev, 8, dec)),
                             ToQ(FormatFixed(s.Mean - s.ActionDev, 8, dec)),
                             ToQ(FormatFixed(s.Mean + s.ActionDev, 8, dec)));
            else
                level += TUnitTexts::tr("; no limits yet");
            parts << level;
        }
        parts << TUnitTexts::tr("Left and Right arrows choose a point, Home and End the first and the last, "
                                "Enter opens it in the data table.");
        return parts.join(QStringLiteral(". "));
    }
};

QAccessibleInterface* ChartsAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String("TPaintBox") && object->isWidgetType())
        return new TAccessibleCharts(static_cast<QWidget*>(object));
    return nullptr;
}
} // namespace

TPaintBox::TPaintBox(TWinMain* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setAutoFillBackground(false);
    // The charts take the keys: the points can be chosen without a mouse.
    setFocusPolicy(Qt::StrongFocus);
    static const bool installed = [] {
        QAccessible::installFactory(ChartsAccessible);
        return true;
    }();
    (void)installed;
    installEventFilter(this);
}

bool TPaintBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched == this && e->type() == QEvent::KeyPress &&
        owner_->StepSelection(static_cast<QKeyEvent*>(e)->key()))
        return true;
    return QWidget::eventFilter(watched, e);
}

bool TWinMain::StepSelection(int key) {
    const TAnalyte* a = CurrentAnalyte;
    if (!a || a->Count() == 0 || CurrentPage() != ptEnter) return false;
    const int last = a->Count() - 1;
    int point = SelectedPoint;
    switch (key) {
    case Qt::Key_Left:
        point = point < 0 ? last : std::max(0, point - 1);
        break;
    case Qt::Key_Right:
        point = point < 0 ? FirstVisible : std::min(last, point + 1);
        break;
    case Qt::Key_Home:
        point = 0;
        break;
    case Qt::Key_End:
        point = last;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (SelectedPoint >= 0) PBoxDblClick();
        return true;
    default:
        return false;
    }
    SelectedPoint = point;
    // The stretch follows the chosen point.
    if (a->Count() > 31 && (point < FirstVisible || point > LastVisible))
        ScrollBar->setValue(point < FirstVisible ? point : point - 30);
    RedrawChartsOnly();
    QAccessibleEvent changed(PBox, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    return true;
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setFont(owner_->font());
    owner_->PaintCharts(p);
}

void TPaintBox::mousePressEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    owner_->PBoxMouseDown(e->button(), e->modifiers(), e->buttons(), pos.x(), pos.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    owner_->PBoxMouseMove(e->modifiers(), e->buttons(), pos.x(), pos.y());
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent*) {
    owner_->PBoxDblClick();
}

void TWinMain::PaintCharts(QPainter& p) {
    const TAnalyte* shown = ChartAnalyte();
    if (!shown) return;
    const TAnalyte& a = *shown;
    ChartsTop = 198 - 60 * a.NbLevels;
    for (int k = 0; k < a.NbLevels; ++k) {
        DrawLevelChart(p, a, SelectedPoint, EraseMarks[static_cast<size_t>(k)] ? 1 : 0, k, FirstVisible,
                       LastVisible, ChartsTop + 135 * k);
        DrawLevelLegend(p, a, k);
    }
    DateAxisY = ChartsTop + 135 * a.NbLevels - 10;
    DrawDateAxis(p, a, FirstVisible, LastVisible, IntervalStart, IntervalEnd, DateAxisY);
    // Signed reviews: a band under the dates.
    std::vector<std::pair<TDateTime, TDateTime>> signedDays;
    for (const TReview& r : Operations().Reviews(a.Name))
        if (!r.Reopened()) signedDays.emplace_back(r.First, r.Last);
    DrawReviewBand(p, a, FirstVisible, LastVisible, DateAxisY, signedDays);
    DrawCommentMarks(p, a, ChartsTop - 17, FirstVisible, LastVisible);
    if (PatientQcShown && PatientQcShown->Analyte == a.Name) {
        std::vector<std::pair<TDateTime, bool>> alarms;
        for (const TPqcAlarm& alarm : PatientQcShown->Alarms)
            alarms.emplace_back(alarm.Time, !alarm.Acknowledged);
        DrawPatientQcMarks(p, a, alarms, ChartsTop, DateAxisY, FirstVisible, LastVisible);
    }
}

void TWinMain::UpdateVisibleStretch() {
    auto showStretchControls = [this](bool on) {
        ScrollBar->setVisible(on);
        PanelDateDeb->setVisible(on);
        PanelDateFin->setVisible(on);
    };
    if (!CurrentAnalyte) {
        showStretchControls(false);
        return;
    }
    int count = CurrentAnalyte->Count();
    if (count <= 30) {
        showStretchControls(false);
        FirstVisible = 0;
        LastVisible = count - 1;
        return;
    }
    LastVisible = count - 1;
    FirstVisible = count - 31;
    if (SelectedPoint >= 0 && SelectedPoint < FirstVisible) {
        if (SelectedPoint <= 30) {
            FirstVisible = 0;
            LastVisible = 30;
        } else {
            FirstVisible = SelectedPoint;
            LastVisible = SelectedPoint + 30;
        }
    }
    {
        QSignalBlocker block(ScrollBar);
        ScrollBar->setRange(0, count - 31);
        ScrollBar->setValue(FirstVisible);
    }
    showStretchControls(true);
    PanelDateDeb->setText(DateText(CurrentAnalyte->Points.front().DateTime));
    PanelDateFin->setText(DateText(CurrentAnalyte->Points.back().DateTime));
}

void TWinMain::ScrollBarScroll(int position) {
    if (position == FirstVisible) return;
    FirstVisible = position;
    LastVisible = position + 30;
    RedrawChartsOnly();
}

int TWinMain::HitPoint(int x) const {
    if (!CurrentAnalyte) return -1;
    // Truncation toward zero: x from 19 to 47 is column 0.
    int column = (x - 33) / 15;
    if (column < 0 || column > 30) return -1;
    int index = FirstVisible + column;
    return index < CurrentAnalyte->Count() ? index : -1;
}

void TWinMain::PBoxMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons,
                             int x, int y) {
    if (WinComment && WinComment->isVisible()) WinComment->hide();
    if (!CurrentAnalyte) return;
    if (DblClickPending) {
        DblClickPending = false;
        SelectedPoint = -1;
        RedrawChartsOnly();
        return;
    }
    int point = HitPoint(x);
    if (point >= 0) {
        if (CurrentPage() == ptLock && y > DateAxisY) {
            bool leftAlone = button == Qt::LeftButton && buttons == Qt::LeftButton && mods == Qt::NoModifier;
            bool shiftLeft =
                button == Qt::LeftButton && buttons == Qt::LeftButton && mods == Qt::ShiftModifier;
            if (leftAlone) {
                IntervalStart = IntervalEnd = IntervalAnchor = point;
            } else if (shiftLeft && IntervalAnchor >= 0) {
                IntervalStart = std::min(IntervalAnchor, point);
                IntervalEnd = std::max(IntervalAnchor, point);
            }
            RedrawChartsOnly();
            UpdateIntervalStats();
            return;
        }
        if (CurrentPage() != ptEnter) return;
        if (y > ChartsTop - 17 && y < DateAxisY) {
            SelectedPoint = point;
            RedrawChartsOnly();
            if (button == Qt::RightButton) ShowPointPopup((x - 33) / 15, y);
        }
        return;
    }
    if (SelectedPoint != -1) {
        SelectedPoint = -1;
        RedrawChartsOnly();
    } else if (IntervalStart != -1 || IntervalEnd != -1 || IntervalAnchor != -1) {
        IntervalStart = IntervalEnd = IntervalAnchor = -1;
        RedrawChartsOnly();
        UpdateIntervalStats();
    }
}

void TWinMain::PBoxMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, int x, int y) {
    if (!CurrentAnalyte || buttons != Qt::LeftButton || mods != Qt::NoModifier || IntervalAnchor < 0 ||
        y <= DateAxisY)
        return;
    int span = LastVisible - FirstVisible;
    int column = x < 53 ? 0 : x > 15 * span + 37 ? span : (x - 38) / 15;
    auto extendTo = [this](int p) {
        IntervalStart = std::min(IntervalAnchor, p);
        IntervalEnd = std::max(IntervalAnchor, p);
    };
    if (CurrentAnalyte->Count() <= 30 || (x >= 38 && x <= 503)) {
        extendTo(FirstVisible + column);
        RedrawChartsOnly();
    } else if (x < 38 && ScrollBar->value() > 0) {
        FirstVisible -= 1;
        LastVisible = FirstVisible + 30;
        {
            QSignalBlocker block(ScrollBar);
            ScrollBar->setValue(FirstVisible);
        }
        extendTo(FirstVisible);
        RedrawChartsOnly();
    } else if (x > 503 && ScrollBar->value() < ScrollBar->maximum()) {
        FirstVisible += 1;
        LastVisible = FirstVisible + 30;
        {
            QSignalBlocker block(ScrollBar);
            ScrollBar->setValue(FirstVisible);
        }
        extendTo(LastVisible);
        RedrawChartsOnly();
    }
    UpdateIntervalStats();
}

void TWinMain::PBoxDblClick() {
    if (SelectedPoint < 0) return;
    DblClickPending = true;
    if (OpenDataTable) OpenDataTable();
}

void TWinMain::UpdateIntervalStats() {
    emit intervalChanged();
}

void TWinMain::ShowPointPopup(int column, int y) {
    if (!CurrentAnalyte || SelectedPoint < 0 || SelectedPoint >= CurrentAnalyte->Count()) return;
    if (!WinComment) new TWinComment(this);
    const TAnalyte& a = *CurrentAnalyte;
    const ControlPoint& pt = a.Points[static_cast<size_t>(SelectedPoint)];
    WinComment->Clear();
    WinComment->Caption = DateTimeText(pt.DateTime);
    for (int k = 0; k < a.NbLevels; ++k) {
        const LevelValue& v = pt.Levels[static_cast<size_t>(k)];
        QString text = EntryRows[static_cast<size_t>(k)].Material->text() + QStringLiteral(" = ");
        text += v.State == psEmpty ? QStringLiteral("absent") : ToQ(FormatFixed(v.Value, 8, a.Decimals));
        QPixmap image;
        switch (v.State) {
        case psInControl:
            image = SharedImage(siPuceVerte);
            break;
        case psHighWarning:
        case psLowWarning:
            image = SharedImage(siPuceJaune);
            break;
        case psHighAction:
        case psLowAction:
            image = SharedImage(siPuceRouge);
            break;
        case psDiscarded:
            image = SharedImage(siCroixRouge);
            break;
        case psEmpty:
            break;
        }
        WinComment->AddLine(text, image);
    }
    if (pt.CommentId != -1) WinComment->AddLine(ToQ(a.CommentText(pt.CommentId)));
    if (!pt.Operator.View().empty()) WinComment->AddLine(tr("Operator = %1").arg(ToQ(pt.Operator.Str())));
    int lines = static_cast<int>(WinComment->Lines.size());
    int width = std::max(WinComment->WidestLine() + 14, 110) + 14;
    WinComment->resize(width, 17 * lines + 28);
    QPoint origin = centralWidget()->mapToGlobal(QPoint(0, 0));
    WinComment->move(origin.x() + 15 * column + 45, origin.y() + y - 20);
    WinComment->show();
    WinComment->raise();
}
