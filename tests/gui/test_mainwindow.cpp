// The main window: start-up checks, exit, analyte list, pages, and the chart gestures.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UMotPass.h"
#include "UPrintJob.h"
#include "UWinComment.h"

namespace {
void SetScreen(int dpi, int width) {
    SetScreenMetricsSource([dpi, width] { return TScreenMetrics{dpi, width, 768}; });
}

void Show(TWinMain& w) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// x of the visible column c and a y on the first chart / on the date axis.
int ColumnX(int c) {
    return 40 + 15 * c;
}
int ChartY(const TWinMain& w) {
    return w.ChartsTop + 60;
}
int AxisY(const TWinMain& w) {
    return w.DateAxisY + 5;
}

// Contrast ratio of a colour with the pop-up's yellow, as relative luminances (sRGB).
double ContrastWithYellow(const QColor& c) {
    auto luminance = [](const QColor& k) {
        auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(k.redF()) + 0.7152 * lin(k.greenF()) + 0.0722 * lin(k.blueF());
    };
    const double a = luminance(c), b = luminance(QColor(255, 255, 0));
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

void Glide(TWinMain& w, int x, int y) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), w.PBox->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.PBox, &move);
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }
    void init() { SetScreen(96, 1024); }

    void emptyListRefusesAnalyteCommands() {
        TGuiFolder folder;
        TWinMain w;
        Show(w);
        QVERIFY(CurrentAnalyte == nullptr);
        QVERIFY(w.PanelNomAnal->text().isEmpty());
        for (const auto& r : w.EntryRows) QVERIFY(r.Row->isHidden());
        QVERIFY(w.ScrollBar->isHidden());
        w.MnuLock->trigger();
        w.MnuErase->trigger();
        QCOMPARE(ShownTexts(), (std::vector<std::string>{"No analyte.", "No analyte."}));
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbOK));
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        QCOMPARE(w.centralWidget()->size(), QSize(792, 526));
        // The data table, archives, limits and lot assignment answer "No analyte." with Yes.
        for (QToolButton* b : {w.BtData, w.BtArchives, w.BtLimits, w.BtAffectation}) {
            TDialogScript::Reset();
            b->click();
            QCOMPARE(ShownTexts(), std::vector<std::string>{"No analyte."});
            QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbYes));
        }
        // Every menu command in its place.
        QStringList menus;
        for (QAction* m : w.menuBar()->actions()) {
            QStringList items;
            for (QAction* a : m->menu()->actions()) items << a->text();
            menus << m->text() + ": " + items.join(QStringLiteral(", "));
        }
        QCOMPARE(menus,
                 (QStringList{
                     "Pa&rameters: &Analytes, &Control materials, &Operators, &Instrument mapping",
                     "Confi&guration: &Backup/restore options, &Password, Statistical &risks, &Shortcuts, "
                     "&Display size, &Corrective actions, &Inbox",
                     "&File: &Diskette restore, &Export, &Import, , &Print charts, , E&xit",
                     "Cl&ipboard: &Copy, &Paste",
                     "&Special functions: &Lock limits, &Fix limits, &Erase/archive levels, &Random "
                     "generator, &Clear queue",
                     "Rec&ords: &Journal of changes, &Review and sign-off",
                     "&Quality: &Z-scores and Youden plot, &Monthly summary, &Peer comparison, "
                     "E&xternal quality assessment, Measurement &uncertainty, P&atient-based QC, &Import "
                     "quality goals..., Import p&eer statistics...",
                     "&?: &User manual, &About"}));
        // The button bar in its order, Exit last.
        QStringList bar;
        for (QToolButton* b : w.Panel1->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
            bar << b->objectName();
        QStringList order;
        auto* layout = w.Panel1->layout();
        for (int i = 0; i < layout->count(); ++i)
            // The inbox panel shows only once an inbox folder is set.
            if (auto* b = qobject_cast<QToolButton*>(layout->itemAt(i)->widget()); b && !b->isHidden())
                order << b->text();
        QCOMPARE(order, (QStringList{"Data ta&ble", "&Print charts", "Archi&ves", "D&aily QC",
                                     "&Control limits", "Bac&kup", "Assign &lots", "Q&ueue : 0", "E&xit"}));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void screenChecks() {
        for (auto [dpi, width, text] : {std::tuple{120, 1024, "You  are not using the small screen font."},
                                        std::tuple{96, 640, "Your screen resolution is 640 x 480 pixels."}}) {
            TGuiFolder folder;
            SetScreen(dpi, width);
            TWinMain w;
            w.show();
            QTRY_VERIFY(!w.isVisible()); // closed without the exit confirmation
            QCOMPARE(TDialogScript::Shown().size(), size_t(1));
            QVERIFY(ShownTexts()[0].rfind(text, 0) == 0);
            QCOMPARE(TDialogScript::Shown()[0].kind, mkError);
        }
        TGuiFolder folder;
        SetScreen(96, 720);
        TWinMain w;
        Show(w);
        QTest::qWait(20);
        QVERIFY(w.isVisible());
        QVERIFY(TDialogScript::Shown().empty());
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void aboutAtStartAndItsCheckBox() {
        TGuiFolder folder;
        Settings.ShowAboutAtStart = true;
        OnNextModal([](QDialog* d) {
            d->findChild<QAbstractButton*>(QStringLiteral("CBDontShow"))->setChecked(true);
            d->accept();
        });
        TWinMain w;
        Show(w);
        QVERIFY(!Settings.ShowAboutAtStart);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void exitAsksForConfirmation() {
        TGuiFolder folder;
        TWinMain w;
        Show(w);
        TDialogScript::AnswerNext(mbCancel);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(TDialogScript::Shown().back().text, std::string("Exit Varnholt"));
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbOK | mbCancel));
        TDialogScript::AnswerNext(mbCancel);
        QTest::keyClick(&w, Qt::Key_F4, Qt::AltModifier);
        QVERIFY(w.isVisible());
        QCOMPARE(TDialogScript::Shown().size(), size_t(2));
        TDialogScript::AnswerNext(mbOK);
        QTest::mouseClick(w.BtExit, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    // Markup in a name is shown as typed, not as formatting (a rich label would draw "AB&C" narrower).
    void nameWithMarkupShownAsTyped() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("A<i>B&C", 1, 12);
        a.MaterialId[0] = ListSerum.AddMaterial("<b>Lyo</b>", "L1");
        TWinMain w;
        Show(w);
        for (QLabel* l : {w.PanelNomAnal, w.EntryRows[0].Material}) {
            QVERIFY2(l->sizeHint().width() >= QFontMetrics(l->font()).horizontalAdvance(l->text()),
                     qPrintable(l->objectName()));
        }
        QCOMPARE(w.PanelNomAnal->text(), QStringLiteral("A<i>B&C"));
    }

    // A click below the last name leaves the charted analyte highlighted.
    void clickBelowTheNamesKeepsTheHighlight() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 12);
        AddTestAnalyte("Calcium", 1, 12);
        TWinMain w;
        Show(w);
        w.LBAnalytes->setCurrentRow(1);
        const QRect last = w.LBAnalytes->visualItemRect(w.LBAnalytes->item(1));
        QVERIFY(last.bottom() + 10 < w.LBAnalytes->viewport()->height());
        QTest::mouseClick(w.LBAnalytes->viewport(), Qt::LeftButton, {},
                          QPoint(last.center().x(), last.bottom() + 10));
        QCOMPARE(CurrentAnalyte, &ListAnalytes[1]);
        QVERIFY(w.LBAnalytes->item(1)->isSelected());
        QCOMPARE(w.LBAnalytes->selectedItems().size(), 1);
    }

    void analyteSwitching() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 12);
        TAnalyte& calcium = AddTestAnalyte("Calcium", 3, 40);
        int32_t id = ListSerum.AddMaterial("Lyphocheck", "L1");
        calcium.MaterialId[1] = id;
        TWinMain w;
        Show(w);
        QCOMPARE(CurrentAnalyte, &ListAnalytes[0]);
        QCOMPARE(w.PanelNomAnal->text(), QStringLiteral("Glucose"));
        QVERIFY(!w.EntryRows[0].Row->isHidden());
        QVERIFY(w.EntryRows[1].Row->isHidden());
        SelectedPoint = 3;
        w.EntryRows[0].Value->setText(QStringLiteral("5"));
        w.LBAnalytes->setCurrentRow(1);
        QCOMPARE(CurrentAnalyte, &calcium);
        QCOMPARE(SelectedPoint, -1);
        QCOMPARE(w.PanelNomAnal->text(), QStringLiteral("Calcium"));
        for (const auto& r : w.EntryRows) QVERIFY(!r.Row->isHidden());
        QCOMPARE(w.EntryRows[0].Material->text(), QStringLiteral("Unknown"));
        QCOMPARE(w.EntryRows[1].Material->text(), QStringLiteral("Lyphocheck"));
        QCOMPARE(w.EntryRows[2].Unit->text(), QStringLiteral("mmol/l"));
        QVERIFY(w.EntryRows[0].Value->text().isEmpty());
        // Refilling keeps the current analyte; when it is gone the first one becomes current.
        w.FillAnalyteList();
        QCOMPARE(CurrentAnalyte, &calcium);
        ListAnalytes.Items.erase(ListAnalytes.Items.begin() + 1);
        CurrentAnalyte = nullptr;
        w.FillAnalyteList();
        QCOMPARE(CurrentAnalyte, &ListAnalytes[0]);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void visibleStretch() {
        TGuiFolder folder;
        AddTestAnalyte("Thirty", 1, 30);
        AddTestAnalyte("ThirtyOne", 1, 31);
        AddTestAnalyte("Hundred", 2, 100);
        TWinMain w;
        Show(w);
        QCOMPARE(w.FirstVisible, 0);
        QCOMPARE(w.LastVisible, 29);
        QVERIFY(w.ScrollBar->isHidden());
        QVERIFY(w.PanelDateDeb->isHidden());

        w.LBAnalytes->setCurrentRow(1);
        QVERIFY(!w.ScrollBar->isHidden());
        QCOMPARE(w.ScrollBar->maximum(), 0);
        QCOMPARE(w.PanelDateDeb->text(),
                 QString::fromStdString(Regional.DateToText(CurrentAnalyte->Points[0].DateTime)));
        QCOMPARE(w.PanelDateFin->text(),
                 QString::fromStdString(Regional.DateToText(CurrentAnalyte->Points[30].DateTime)));

        w.LBAnalytes->setCurrentRow(2);
        QCOMPARE(w.FirstVisible, 69);
        QCOMPARE(w.LastVisible, 99);
        QCOMPARE(w.ScrollBar->maximum(), 69);
        QCOMPARE(w.ScrollBar->value(), 69);
        SelectedPoint = 50;
        w.UpdateVisibleStretch();
        QCOMPARE(w.FirstVisible, 50);
        QCOMPARE(w.LastVisible, 80);
        SelectedPoint = 10;
        w.UpdateVisibleStretch();
        QCOMPARE(w.FirstVisible, 0);
        QCOMPARE(w.LastVisible, 30);
        w.ScrollBar->setValue(12);
        QCOMPARE(w.FirstVisible, 12);
        QCOMPARE(w.LastVisible, 42);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // The charts without a mouse: keys choose the points and the stretch follows; a screen reader
    // hears the chosen point, and each level's last value and limits.
    void chartsKeysAndAccessibleText() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Glucose", 2, 40);
        TWinMain w;
        Show(w);
        QCOMPARE(w.PBox->focusPolicy(), Qt::StrongFocus);
        w.PBox->setFocus();
        SelectedPoint = -1;
        QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(w.PBox);
        QVERIFY(acc);
        QCOMPARE(acc->role(), QAccessible::Chart);
        QCOMPARE(acc->text(QAccessible::Name), QStringLiteral("QC charts"));
        const QString summary = acc->text(QAccessible::Description);
        const LevelStats& s = a.Limits[1];
        for (const std::string& part :
             {std::string("Glucose, number of points: 40"), std::string("Level 2"),
              "last value " + FormatFixed(a.Points.back().Levels[1].Value, 8, a.Decimals),
              "warning limits " + FormatFixed(s.Mean - s.WarnDev, 8, a.Decimals + 1) + " to " +
                  FormatFixed(s.Mean + s.WarnDev, 8, a.Decimals + 1)})
            QVERIFY2(summary.contains(QString::fromStdString(part)), qPrintable(summary));

        const struct {
            Qt::Key Key;
            int Selected, First;
        } steps[] = {{Qt::Key_End, 39, 9}, {Qt::Key_Right, 39, 9}, {Qt::Key_Left, 38, 9},
                     {Qt::Key_Home, 0, 0}, {Qt::Key_Left, 0, 0},   {Qt::Key_Right, 1, 0},
                     {Qt::Key_End, 39, 9}};
        for (const auto& step : steps) {
            QTest::keyClick(w.PBox, step.Key);
            QCOMPARE(SelectedPoint, step.Selected);
            QCOMPARE(w.FirstVisible, step.First);
            QCOMPARE(w.LastVisible, step.First + 30);
        }
        QVERIFY(acc->text(QAccessible::Name)
                    .startsWith(QStringLiteral("QC charts: ") + DateTimeText(a.Points[39].DateTime)));
        int opened = 0;
        w.OpenDataTable = [&opened] { ++opened; };
        QTest::keyClick(w.PBox, Qt::Key_Return);
        QCOMPARE(opened, 1);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void clicksSelectAndClear() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 2, 20);
        TWinMain w;
        Show(w);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(20, ChartY(w)));
        QCOMPARE(SelectedPoint, 0);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(47, ChartY(w)));
        QCOMPARE(SelectedPoint, 0);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(48, ChartY(w)));
        QCOMPARE(SelectedPoint, 1);
        // On the comment row or the date axis the entry page ignores the click.
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(5), AxisY(w)));
        QCOMPARE(SelectedPoint, 1);
        // Column 31 and a column past the last point hit nothing and clear the selection.
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(500, ChartY(w)));
        QCOMPARE(SelectedPoint, -1);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(19), ChartY(w)));
        QCOMPARE(SelectedPoint, 19);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(25), ChartY(w)));
        QCOMPARE(SelectedPoint, -1);
        QCOMPARE(w.HitPoint(18), -1);

        // A double click marks the point for the data table; the next press only clears the selection.
        int opened = 0;
        w.OpenDataTable = [&opened] { ++opened; };
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(4), ChartY(w)));
        QTest::mouseDClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(4), ChartY(w)));
        QCOMPARE(opened, 1);
        QVERIFY(w.DblClickPending);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(7), ChartY(w)));
        QCOMPARE(SelectedPoint, -1);
        QVERIFY(!w.DblClickPending);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void pointPopup() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Glucose", 2, 3);
        a.AddPoint(TestRun(EncodeDate(2024, 3, 10) + 0.5, {101.25, NAN}, "new lot", "AB"));
        a.Points[3].Levels[0].State = psHighWarning;
        TWinMain w;
        Show(w);
        QTest::mouseClick(w.PBox, Qt::RightButton, {}, QPoint(ColumnX(3), ChartY(w)));
        QCOMPARE(SelectedPoint, 3);
        QVERIFY(WinComment && WinComment->isVisible());
        QCOMPARE(WinComment->Caption, QString::fromStdString(Regional.DateTimeToText(a.Points[3].DateTime)));
        QCOMPARE(WinComment->Lines.size(), size_t(4));
        QCOMPARE(WinComment->Lines[0].Text, QStringLiteral("Unknown = 101.25"));
        QVERIFY(!WinComment->Lines[0].Image.isNull());
        QCOMPARE(WinComment->Lines[1].Text, QStringLiteral("Unknown = absent"));
        QVERIFY(WinComment->Lines[1].Image.isNull());
        QCOMPARE(WinComment->Lines[2].Text, QStringLiteral("new lot"));
        QCOMPARE(WinComment->Lines[3].Text, QStringLiteral("Operator = AB"));
        QCOMPARE(WinComment->height(), 17 * 4 + 28);
        QVERIFY(WinComment->width() >= 110 + 14);
        // The warning's yellow dot stands out from the yellow pop-up by a dark outline.
        QImage shown = WinComment->grab().toImage();
        int outline = 0;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 11; ++x)
                if (ContrastWithYellow(shown.pixelColor(WinComment->width() - 20 + x, 18 + 3 + y)) >= 4.5)
                    ++outline;
        QVERIFY2(outline >= 20, qPrintable(QString::number(outline)));
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(1), ChartY(w)));
        QVERIFY(!WinComment->isVisible());
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // The pop-up never outlives its point: a key, a click elsewhere or another analyte closes it.
    void pointPopupClosesOnKeysClicksAndAnalyteChange() {
        TGuiFolder folder;
        AddTestAnalyte("Calcium", 1, 5);
        AddTestAnalyte("Albumin", 1, 5);
        TWinMain w;
        Show(w);
        auto rowOf = [&w](const QString& name) {
            return w.LBAnalytes->row(w.LBAnalytes->findItems(name, Qt::MatchExactly).value(0));
        };
        w.LBAnalytes->setCurrentRow(rowOf(QStringLiteral("Calcium")));
        w.LBAnalytes->setFocus();
        auto popUp = [&w] {
            QTest::mouseClick(w.PBox, Qt::RightButton, {}, QPoint(ColumnX(2), ChartY(w)));
            QVERIFY(WinComment && WinComment->isVisible());
        };
        // A key typed into the list closes the pop-up and goes no further (no type-ahead).
        popUp();
        QTest::keyClick(w.LBAnalytes, Qt::Key_A);
        QVERIFY(!WinComment->isVisible());
        QCOMPARE(QString::fromStdString(CurrentAnalyte->Name), QStringLiteral("Calcium"));
        // A click on another control.
        popUp();
        QTest::mouseClick(w.EditComment, Qt::LeftButton);
        QVERIFY(!WinComment->isVisible());
        // Another analyte made current.
        popUp();
        w.LBAnalytes->setCurrentRow(rowOf(QStringLiteral("Albumin")));
        QVERIFY(!WinComment->isVisible());
        // Keys work as usual once it is closed.
        QTest::keyClick(w.LBAnalytes, Qt::Key_C);
        QCOMPARE(QString::fromStdString(CurrentAnalyte->Name), QStringLiteral("Calcium"));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // A bar button whose window was left with the pointer elsewhere is drawn without its hover frame.
    void barButtonsDropTheirHoverAfterTheirWindow() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 5);
        TWinMain w;
        Show(w);
        for (QToolButton* b : {w.BtDaily, w.BtLimits}) {
            QTest::mouseMove(b);
            QTRY_VERIFY(b->underMouse());
            OnNextModal([](QDialog* d) {
                QTest::mouseMove(d, QPoint(d->width() - 5, d->height() - 5));
                QCursor::setPos(5000, 5000); // out of every window
                QTest::qWait(20);
                d->reject();
            });
            QTest::mouseClick(b, Qt::LeftButton);
            QVERIFY2(!b->underMouse(), qPrintable(b->objectName()));
        }
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void intervalGesturesOnTheLockPage() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 100);
        TWinMain w;
        Show(w);
        int changes = 0;
        connect(&w, &TWinMain::intervalChanged, [&changes] { ++changes; });
        w.MnuLock->trigger();
        QCOMPARE(w.CurrentPage(), int(ptLock));
        QCOMPARE(w.FirstVisible, 69);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(10), AxisY(w))); // A = 79
        QCOMPARE(w.IntervalStart, 79);
        QCOMPARE(w.IntervalAnchor, 79);
        QTest::mouseClick(w.PBox, Qt::LeftButton, Qt::ShiftModifier, QPoint(ColumnX(4), AxisY(w))); // B = 73
        QCOMPARE(w.IntervalStart, 73);
        QCOMPARE(w.IntervalEnd, 79);
        QTest::mouseClick(w.PBox, Qt::LeftButton, Qt::ShiftModifier, QPoint(ColumnX(20), AxisY(w))); // E = 89
        QCOMPARE(w.IntervalStart, 79);
        QCOMPARE(w.IntervalEnd, 89);
        QCOMPARE(w.IntervalAnchor, 79);
        QCOMPARE(changes, 3);
        // Clicks on the charts do not select points on the lock page.
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(3), ChartY(w)));
        QCOMPARE(SelectedPoint, -1);

        // Gliding to the left edge of the stretch 40..70 scrolls one point per move.
        w.ScrollBar->setValue(40);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(10), AxisY(w))); // anchor 50
        Glide(w, ColumnX(5), AxisY(w));
        QCOMPARE(w.IntervalStart, 45);
        QCOMPARE(w.IntervalEnd, 50);
        for (int i = 1; i <= 3; ++i) {
            Glide(w, 30, AxisY(w));
            QCOMPARE(w.FirstVisible, 40 - i);
            QCOMPARE(w.LastVisible, 70 - i);
            QCOMPARE(w.ScrollBar->value(), 40 - i);
            QCOMPARE(w.IntervalStart, 40 - i);
        }
        w.ScrollBar->setValue(1);
        Glide(w, 30, AxisY(w));
        QCOMPARE(w.FirstVisible, 0);
        QCOMPARE(w.IntervalStart, 0);
        Glide(w, 30, AxisY(w)); // at position 0 scrolling stops
        QCOMPARE(w.FirstVisible, 0);
        QCOMPARE(w.LastVisible, 30);
        // Gliding right past the charts reaches the new last visible point.
        Glide(w, 510, AxisY(w));
        QCOMPARE(w.FirstVisible, 1);
        QCOMPARE(w.IntervalEnd, 50);
        QCOMPARE(w.IntervalStart, 31);

        // A click beyond the columns clears the interval; leaving the page clears it as well.
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(520, AxisY(w)));
        QCOMPARE(w.IntervalStart, -1);
        QCOMPARE(w.IntervalAnchor, -1);
        QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(ColumnX(2), AxisY(w)));
        QTest::mouseClick(w.BtOKLock, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        QCOMPARE(w.IntervalStart, -1);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    // Alt+U presses the queue button (Alt+Q is the Quality menu's), except on the lock and fix pages,
    // whose Undo has it. The untouched entry time follows the clock; a time the user set stays.
    void queueKeyAndLiveEntryTime() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 20);
        TWinMain w;
        Show(w);
        const QKeySequence altU(Qt::ALT | Qt::Key_U);
        QCOMPARE(w.BtFifo->shortcut(), altU);
        for (const QMenu* m : w.findChildren<QMenu*>()) QVERIFY(QKeySequence::mnemonic(m->title()) != altU);
        w.MnuLock->trigger();
        QVERIFY(w.BtFifo->shortcut().isEmpty());
        w.BtCancelLock->click();
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        QCOMPARE(w.BtFifo->shortcut(), altU);

        w.BtOKEnter->setFocus();
        {
            QSignalBlocker quiet(w.TimePicker);
            w.TimePicker->setTime(QTime::currentTime().addSecs(-3 * 3600));
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(w.TimePicker->time().secsTo(QTime::currentTime())) <= 61, 3000);
        const QTime typed = QTime::currentTime().addSecs(-2 * 3600);
        w.TimePicker->setTime(typed);
        QTest::qWait(1300);
        QCOMPARE(w.TimePicker->time(), typed);
    }

    // A day the month does not have, and a date before 1 January 1900, are named and refused.
    void impossibleAndEarlyDatesAreRefused() {
        TDatePicker picker;
        picker.setLocale(QLocale::c());
        picker.setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        const std::pair<const char*, const char*> cases[] = {
            {"28/02/2026", ""},
            {"29/02/2024", ""},
            {"01/01/1900", ""},
            {"31/02/2026", "31/02/2026 is not a valid date"},
            {"29/02/2025", "29/02/2025 is not a valid date"},
            {"31/04/2026", "31/04/2026 is not a valid date"},
            {"28/02/1899", "28/02/1899 is before 01/01/1900, the earliest date that can be entered"},
        };
        for (auto [typed, why] : cases)
            QCOMPARE(picker.RefusalOf(QString::fromLatin1(typed)), QString::fromLatin1(why));
    }

    void pagesPasswordAndSnapshot() {
        TGuiFolder folder;
        AddTestAnalyte("Glucose", 1, 20);
        Settings.Password = "KEY";
        TWinMain w;
        TWinEntryPsw psw(&w);
        Show(w);
        OnNextModal([](QDialog* d) { d->reject(); });
        w.MnuLock->trigger();
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        OnNextModal([](QDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("key"));
            static_cast<TWinEntryPsw*>(d)->BtOKClick();
        });
        w.MnuLock->trigger();
        QCOMPARE(w.CurrentPage(), int(ptLock));
        LevelStats before = CurrentAnalyte->Limits[0];
        // What a page tries is a copy; the analyte changes only at OK.
        w.LimitTrial->LimitMode[0] = lmLocked;
        w.LimitTrial->Limits[0].Mean += 5;
        // Moving between the limit pages asks nothing and undoes what was not confirmed.
        bool asked = false;
        QObject* wait = OnNextModal([&asked](QDialog* d) {
            asked = true;
            d->reject();
        });
        w.MnuFix->trigger();
        delete wait;
        QVERIFY(!asked);
        QCOMPARE(w.CurrentPage(), int(ptFix));
        QCOMPARE(CurrentAnalyte->LimitMode[0], lmMobile);
        QCOMPARE(w.LimitTrial->LimitMode[0], lmMobile);
        QCOMPARE(static_cast<double>(w.LimitTrial->Limits[0].Mean), static_cast<double>(before.Mean));
        // Cancel puts the former mode back; OK keeps the change.
        w.LimitTrial->LimitMode[0] = lmFixed;
        QTest::mouseClick(w.BtCancelFix, Qt::LeftButton);
        QCOMPARE(CurrentAnalyte->LimitMode[0], lmMobile);
        Settings.Password.clear();
        w.MnuFix->trigger();
        w.LimitTrial->LimitMode[0] = lmFixed;
        QTest::mouseClick(w.BtUndoFix, Qt::LeftButton);
        QCOMPARE(w.LimitTrial->LimitMode[0], lmMobile);
        QCOMPARE(w.CurrentPage(), int(ptFix));
        w.LimitTrial->LimitMode[0] = lmFixed;
        QTest::mouseClick(w.BtOKFix, Qt::LeftButton);
        QCOMPARE(CurrentAnalyte->LimitMode[0], lmFixed);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        // The erase page clears its marks when left.
        w.MnuErase->trigger();
        w.EraseMarks[0] = true;
        QTest::mouseClick(w.BtCancelArchi, Qt::LeftButton);
        QVERIFY(!w.EraseMarks[0]);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void userManual() {
        TGuiFolder folder;
        TWinMain w;
        QString opened;
        bool succeed = true;
        TWinMain::OpenDocument = [&](const QString& path) {
            opened = path;
            return succeed;
        };
        // Without a manual anywhere the box says so (the test runs beside no manual).
        QStringList candidates = TWinMain::UserManualCandidates();
        bool anyExists = false;
        for (int i = 0; i + 1 < candidates.size(); ++i) anyExists |= QFileInfo::exists(candidates[i]);
        if (!anyExists) {
            w.MnuUserManual->trigger();
            QCOMPARE(ShownTexts().back(), std::string("Impossible to open the user manual"));
            QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbYes));
        }
        AtomicWriteFile(folder.File("UserManual.htm"), "<html></html>");
        TDialogScript::Reset();
        w.MnuUserManual->trigger();
        QCOMPARE(opened, QString::fromStdString(folder.File("UserManual.htm")));
        QVERIFY(TDialogScript::Shown().empty());
        succeed = false;
        w.MnuUserManual->trigger();
        QCOMPARE(ShownTexts().back(), std::string("Impossible to open the user manual"));
    }

    void settingsWriteFailureAfterPasswordChange() {
        TGuiFolder folder;
        TWinMain w;
        OnNextModal([](QDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("EditNewPsw"))->setText(QStringLiteral("abc"));
            d->findChild<QLineEdit*>(QStringLiteral("EditConfirm"))->setText(QStringLiteral("abc"));
            d->findChild<QAbstractButton*>(QStringLiteral("BtOK"))->click();
            // The failed write keeps the window open with nothing changed; the user closes it.
            QVERIFY(d->isVisible());
            d->reject();
        });
        WriteFaults() = {true, TWriteStep::Rename, 0};
        w.MnuPsw->trigger();
        WriteFaults() = {};
        QCOMPARE(QString::fromStdString(Settings.Password), QString());
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        QVERIFY(ShownTexts()[0].find("Varnholt.cfr") != std::string::npos);
        QVERIFY(!QFileInfo::exists(QString::fromStdString(folder.File("Varnholt.cfr"))));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
