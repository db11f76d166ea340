// The main window's charts: painting, the visible stretch, the scroll bar and the mouse gestures.
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>

#include "UDrawChart.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "USharedImages.h"
#include "UWinComment.h"

TPaintBox::TPaintBox(TWinMain* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setAutoFillBackground(false);
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
    if (!CurrentAnalyte) return;
    const TAnalyte& a = *CurrentAnalyte;
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
