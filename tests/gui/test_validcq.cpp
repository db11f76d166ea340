// Tests of the validation window: level bars, rule marks as drawn, rejection, the multirule switch, height.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "UDataLoadSave.h"
#include "UGlobaleSettings.h"
#include "UValidCQ.h"
#include "support_prompt.h"
#include "support_reference.h"
#include "support_valid.h"

namespace {
constexpr float NoValue = NAN;

// Shows the window for the run and paints it; the pictures of the bars are then those drawn.
void Open(TWinValidCQ& w, TAnalyte& a, TResu& r) {
    w.PrepareValidation(a, r);
    w.FormActivate();
    w.show();
    w.grab();
    w.PBoxWGAcross->grab();
}

QColor PixelOf(QWidget* wgt, int x, int y) {
    return wgt->grab().toImage().pixelColor(x, y);
}

// A one-level analyte with limits m 10, w 2, a 3 and no points.
TAnalyte& OneLevel() {
    TAnalyte& a = RefAddAnalyte("Glucose", 1);
    ValidSetLimits(a, 0, 10, 2, 3);
    return a;
}
} // namespace

class TestValidCQ : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TScriptedAnswers answers; // the corrective action of a rejected run answered
    TWinValidCQ* w = nullptr;

private slots:
    void init() {
        RefResetLists();
        w = new TWinValidCQ;
    }
    void cleanup() { delete w; }

    void emptyLevelShowsNoDataWithItsButtonDisabled() {
        TAnalyte& a = RefAddAnalyte("Calcium", 3);
        for (int k = 0; k < 3; ++k) ValidSetLimits(a, k, 2, 0.1L, 0.15L);
        TResu r = ValidRun(a, 0, {2.0f, 2.05f, NoValue});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QCOMPARE(w->LevelBars[2]->Picture.Kind, TLevelBarPicture::bkNoData);
        QVERIFY(!w->RejectButtons[2]->isEnabled());
        QVERIFY(w->RejectButtons[0]->isEnabled());
        QCOMPARE(w->LevelBars[0]->Picture.Kind, TLevelBarPicture::bkZones);
        QCOMPARE(w->RejectButtons[1]->text(), QStringLiteral("Reject QC&2"));
        // Alt+1 to Alt+3 reach the buttons from the keyboard.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_1, Qt::AltModifier);
        QTRY_COMPARE(w->RejectButtons[0]->text(), QStringLiteral("Retrieve QC&1"));
        QTest::keyClick(w, Qt::Key_1, Qt::AltModifier);
        QTRY_COMPARE(w->RejectButtons[0]->text(), QStringLiteral("Reject QC&1"));
        // Two levels take part: the across row is shown and the window is 100 x 3 + 193 high.
        QVERIFY(w->PanelWGAcross->isVisible());
        QCOMPARE(w->height(), 100 * 3 + 193);
        QCOMPARE(w->PanelWGAcross->y(), 100 * 3 + 84);
        QCOMPARE(w->Panel2->height(), 100 * 3 + 43);
    }

    void unusedSlotsAreHiddenAndEmptied() {
        TAnalyte& a = OneLevel();
        TResu r = ValidRun(a, 0, {10.0f, 5.0f, 6.0f});
        Open(*w, a, r);
        QVERIFY(!w->LevelBars[1]->isVisible());
        QVERIFY(!w->RejectButtons[2]->isVisible());
        QCOMPARE(r.Levels[1].State, psEmpty);
        QCOMPARE(r.Levels[2].State, psEmpty);
        // One level taking part: no across row, 100 x 1 + 160 high.
        QVERIFY(!w->PanelWGAcross->isVisible());
        QCOMPARE(w->height(), 260);
        QCOMPARE(w->windowTitle(), QStringLiteral("QC validation"));
        QCOMPARE(w->ModeLabels[0]->text(), QStringLiteral("Mobile limits"));
        QCOMPARE(w->MaterialLabels[0]->text(), QStringLiteral("Unknown"));
    }

    void unavailableLimitsPutTheMarkerOnTheLimeEdgeWithoutScale() {
        TAnalyte& a = RefAddAnalyte("Urea", 1);
        for (int d = 0; d < 5; ++d) RefAddPoint(a, d, {3.0f});
        QCOMPARE(int(a.Limits[0].State), 6); // all values equal
        TResu r = ValidRun(a, 10, {1.0f});
        a.ClassifyRun(r.Levels);
        QCOMPARE(r.Levels[0].State, psInControl);
        Open(*w, a, r);
        TPBoxValidCQ* bar = w->LevelBars[0];
        QCOMPARE(double(bar->M), 1.5);
        QCOMPARE(bar->Picture.MarkerX, bar->Picture.ZoneEdges[2]); // lower edge of the lime zone
        QVERIFY(bar->Picture.Ticks.empty());
        QVERIFY(!bar->Picture.MarksShown); // limits unavailable: the level does not take part
        // A value above the mean sits on the upper edge; without points it is centred.
        r = ValidRun(a, 10, {4.0f});
        Open(*w, a, r);
        QCOMPARE(bar->Picture.MarkerX, bar->Picture.ZoneEdges[3]);
        TAnalyte& empty = RefAddAnalyte("Empty", 1);
        r = ValidRun(empty, 0, {7.0f});
        Open(*w, empty, r);
        QCOMPARE(bar->Picture.MarkerX, 205);
    }

    void farValueWidensTheBar() {
        TAnalyte& a = OneLevel();
        TResu r = ValidRun(a, 0, {40.0f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        TPBoxValidCQ* bar = w->LevelBars[0];
        QCOMPARE(double(bar->H), double(1.1L * 30));
        // (30 + 33) / 66 x 370 = 353.18...: the marker stays inside the bar.
        QCOMPARE(bar->Picture.MarkerX, 373);
        QVERIFY(bar->Picture.MarkerX < bar->width() - 20);
    }

    void fixedLevelWithZeroDeviationsOnTargetIsDrawn() {
        TAnalyte& a = RefAddAnalyte("Sodium", 1);
        a.LimitMode[0] = lmFixed;
        ValidSetLimits(a, 0, 140, 0, 0);
        TResu r = ValidRun(a, 0, {140.0f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        TPBoxValidCQ* bar = w->LevelBars[0];
        QCOMPARE(bar->Picture.Kind, TLevelBarPicture::bkZones);
        QCOMPARE(bar->Picture.MarkerX, 205);
        QCOMPARE(bar->Picture.ZoneEdges[2], bar->X(140 - 0.5L));
        QVERIFY(bar->Picture.ZoneEdges[1] < bar->Picture.ZoneEdges[2]);
        QVERIFY(bar->Picture.Ticks.empty()); // a scale would not show the level's limits
    }

    void barMappingRoundsHalfToEven() {
        TPBoxValidCQ* bar = w->LevelBars[0];
        bar->resize(44, 60); // 4 pixels of span: exact binary fractions
        bar->M = 0;
        bar->H = 1;
        QCOMPARE(bar->X(-1), 20);
        QCOMPARE(bar->X(1), 24);
        QCOMPARE(bar->X(0.25L), 22);  // 2.5 rounds to 2
        QCOMPARE(bar->X(0.75L), 24);  // 3.5 rounds to 4
        QCOMPARE(bar->X(-0.25L), 22); // 1.5 rounds to 2
    }

    void barScaleFollowsItsStepTable() {
        struct Case {
            long double m, w, a;
            std::vector<std::string> texts;
        };
        const Case cases[] = {
            {100, 2, 3, {"97", "98", "99", "100", "101", "102", "103"}},        // step 1
            {5, 0.2L, 0.3L, {"4.7", "4.8", "4.9", "5.0", "5.1", "5.2", "5.3"}}, // step 0.1
            {10, 0.6L, 1, {"9.0", "9.5", "10.0", "10.5", "11.0"}},              // step 0.5
            {1, 0.5L, 1, {"0.0", "0.5", "1.0", "1.5", "2.0"}},                  // lo < 0
            {50, 10, 20, {"30", "40", "50", "60", "70"}},                       // r = 6.6: step 10
            {10, 0.3L, 0.5L, {"9.6", "9.8", "10.0", "10.2", "10.4"}},           // r = 1.65: 0.2
            {10, 0.5L, 0.8L, {"9.2", "9.6", "10.0", "10.4", "10.8"}},           // r = 2.64: 0.4
        };
        for (const Case& c : cases) {
            RefResetLists();
            TAnalyte& a = RefAddAnalyte("Scale", 1);
            ValidSetLimits(a, 0, c.m, c.w, c.a);
            TResu r = ValidRun(a, 0, {float(c.m)});
            a.ClassifyRun(r.Levels);
            Open(*w, a, r);
            std::vector<std::string> texts;
            for (const auto& t : w->LevelBars[0]->Picture.Ticks) texts.push_back(t.Text);
            QVERIFY2(texts == c.texts,
                     (texts.empty() ? std::string("none") : texts.front() + ".." + texts.back()).c_str());
        }
    }

    void marksFollowTheOutcomes() {
        TAnalyte& a = OneLevel();
        struct Case {
            float value;
            TRuleRow marks;
        };
        const Case cases[] = {
            {10.5f, {rsClear, rsClear, rsClear, rsClear, rsClear, rsClear}},
            {12.0f, {rsWarning, rsClear, rsClear, rsClear, rsClear, rsClear}}, // exactly m + w
            {13.5f, {rsWarning, rsReject, rsClear, rsClear, rsClear, rsClear}},
        };
        for (const Case& c : cases) {
            TResu r = ValidRun(a, 0, {c.value});
            a.ClassifyRun(r.Levels);
            Open(*w, a, r);
            QVERIFY(w->LevelBars[0]->Picture.MarksShown);
            QCOMPARE(w->LevelBars[0]->Picture.Marks, c.marks);
        }
        // The drawn colours: "1:2s" yellow, "1:3s" red, "2:2s" button face.
        TPBoxValidCQ* bar = w->LevelBars[0];
        QCOMPARE(PixelOf(bar, 50 + 3, 45), QColor(255, 255, 0));
        QCOMPARE(PixelOf(bar, 90 + 3, 45), QColor(255, 0, 0));
        QCOMPARE(PixelOf(bar, 130 + 3, 45), QApplication::palette().color(QPalette::Button));
        // Zones and marker: lime in the middle, red at both ends, black under the marker.
        QCOMPARE(PixelOf(bar, bar->X(10) + 5, 22), QColor(0, 255, 0));
        QCOMPARE(PixelOf(bar, 22, 22), QColor(255, 0, 0));
        QCOMPARE(PixelOf(bar, bar->Picture.MarkerX, 29), QColor(0, 0, 0));
    }

    void walkRulesSeenOnTheBar() {
        TAnalyte& a = OneLevel();
        // Three earlier values beyond +f (w/2 = 1) and the new one at m + 0.75 w: "4:1s" warning.
        for (int d = 0; d < 3; ++d) RefAddPoint(a, d, {11.5f});
        ValidSetLimits(a, 0, 10, 2, 3);
        TResu r = ValidRun(a, 5, {11.5f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QCOMPARE(w->LevelBars[0]->Picture.Marks[rp41s], rsWarning);
        r = ValidRun(a, 5, {12.0f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QCOMPARE(w->LevelBars[0]->Picture.Marks[rp41s], rsReject);
        QCOMPARE(w->LevelBars[0]->Picture.Marks[rp22s], rsClear); // the earlier values were in control
        // A back-dated run is judged against what came before it only.
        r = ValidRun(a, 1, {11.5f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QCOMPARE(w->LevelBars[0]->Picture.Marks[rp41s], rsClear);
    }

    void acrossRowForTwoAndThreeLevels() {
        TAnalyte& a = RefAddAnalyte("Lipids", 3);
        for (int k = 0; k < 3; ++k) ValidSetLimits(a, k, 10, 2, 3);
        TResu r = ValidRun(a, 0, {12.4f, 7.6f, NoValue});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        using P = std::pair<std::string, RuleStatus>;
        QCOMPARE(
            w->AcrossPicture,
            (std::vector<P>{{"2:2s", rsClear}, {"R:4s", rsReject}, {"4:1s", rsClear}, {"10:m", rsClear}}));
        QCOMPARE(PixelOf(w->PBoxWGAcross, 40 * 3 + 49 + 3, 13), QColor(255, 0, 0));
        // Three levels beyond +f in one run: "3:1s" across in the colour of a violated walk rule.
        r = ValidRun(a, 0, {11.5f, 11.5f, 11.5f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QCOMPARE(
            w->AcrossPicture,
            (std::vector<P>{{"2:2s", rsClear}, {"R:4s", rsClear}, {"3:1s", rsWarning}, {"9:m", rsClear}}));
        // Rejecting a level leaves two: the names of two levels and no "3:1s" from the rejected one.
        w->RejectButtons[2]->click();
        w->PBoxWGAcross->grab();
        QCOMPARE(w->AcrossPicture.size(), size_t(4));
        QCOMPARE(w->AcrossPicture[2].first, std::string("4:1s"));
        QCOMPARE(w->height(), 100 * 3 + 193);
        w->RejectButtons[1]->click();
        QVERIFY(!w->PanelWGAcross->isVisible());
        QCOMPARE(w->height(), 100 * 3 + 160);
    }

    void rejectRetrieveAndCloseWithOKOrCancel() {
        TAnalyte& a = RefAddAnalyte("Iron", 2);
        for (int k = 0; k < 2; ++k) ValidSetLimits(a, k, 10, 2, 3);
        TResu r = ValidRun(a, 0, {13.5f, 12.5f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        const TRuleRow before = w->LevelBars[0]->Picture.Marks;
        const auto acrossBefore = w->AcrossPicture;
        QCOMPARE(acrossBefore[0].second, rsReject); // two levels high: "2:2s" across
        w->RejectButtons[0]->click();
        w->grab();
        w->PBoxWGAcross->grab();
        QCOMPARE(w->RejectButtons[0]->text(), QStringLiteral("Retrieve QC&1"));
        QCOMPARE(w->LevelBars[0]->Picture.Kind, TLevelBarPicture::bkDiscarded);
        QCOMPARE(PixelOf(w->LevelBars[0], 5, 5), QColor(128, 128, 128));
        QVERIFY(w->AcrossPicture.empty()); // one level left taking part
        w->RejectButtons[0]->click();
        w->grab();
        w->PBoxWGAcross->grab();
        QCOMPARE(w->RejectButtons[0]->text(), QStringLiteral("Reject QC&1"));
        QCOMPARE(w->LevelBars[0]->Picture.Marks, before);
        QCOMPARE(w->AcrossPicture, acrossBefore);
        // Rejected and cancelled: the run keeps its classified state.
        w->RejectButtons[1]->click();
        w->BtCancel->click();
        QCOMPARE(r.Levels[1].State, psHighWarning);
        // Rejected and accepted: the level is discarded.
        Open(*w, a, r);
        QCOMPARE(w->RejectButtons[1]->text(), QStringLiteral("Reject QC&2")); // toggles reset per run
        w->RejectButtons[1]->click();
        w->BtOK->click();
        QCOMPARE(r.Levels[1].State, psDiscarded);
        QCOMPARE(r.Levels[0].State, psHighAction);
    }

    void multiruleSwitchAppliesOnlyOnOK() {
        TAnalyte& a = RefAddAnalyte("Iron", 2);
        for (int k = 0; k < 2; ++k) ValidSetLimits(a, k, 10, 2, 3);
        TResu r = ValidRun(a, 0, {12.5f, 12.5f});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QTest::mouseClick(w->CBWestg, Qt::LeftButton, {}, QPoint(5, w->CBWestg->height() / 2));
        QVERIFY(!w->CBWestg->isChecked());
        w->grab();
        w->PBoxWGAcross->grab();
        QVERIFY(!w->LevelBars[0]->Picture.MarksShown);
        QVERIFY(!w->LevelBars[1]->Picture.MarksShown);
        QVERIFY(!w->PanelWGAcross->isVisible());
        QCOMPARE(w->height(), 100 * 2 + 160);
        w->BtCancel->click();
        QVERIFY(a.MultirulesOn());
        // The box follows the analyte at the next showing; OK turns the switch off.
        Open(*w, a, r);
        QVERIFY(w->CBWestg->isChecked());
        w->CBWestg->click();
        w->BtOK->click();
        // The window hands the switch to the layer with the run; the analyte takes it when the run is
        // saved (as here).
        QCOMPARE(w->Note().Multirules, std::optional<bool>(false));
        QVERIFY(a.MultirulesOn());
        a.Options &= static_cast<uint8_t>(~TAnalyte::OptMultirules);
        // With the switch off no level takes part from the start.
        Open(*w, a, r);
        QVERIFY(!w->CBWestg->isChecked());
        QVERIFY(!w->LevelBars[0]->Picture.MarksShown);
        QVERIFY(!w->PanelWGAcross->isVisible());
    }

    void panelsShowTheRun() {
        TAnalyte& a = OneLevel();
        a.SetUnit("mmol/L");
        TResu r = ValidRun(a, 0, {10.0f});
        Open(*w, a, r);
        QVERIFY(!w->PanelOperator->isVisible());
        QVERIFY(!w->LblComment->isVisible());
        QCOMPARE(w->Panel1->text(), QStringLiteral("Glucose"));
        QCOMPARE(w->LblUnite->text(), QStringLiteral("mmol/L"));
        QCOMPARE(w->PanelDate->text(), QStringLiteral("01/01/2024 10:00:00"));
        r.Operator = "AB";
        r.Comment = "caf\xe9"; // Windows-1252
        Open(*w, a, r);
        QVERIFY(w->PanelOperator->isVisible());
        QCOMPARE(w->PanelOperator->text(), QStringLiteral("AB"));
        QCOMPARE(w->PanelComment->text(), QStringLiteral("caf\u00e9"));
    }

    // Markup in a name is shown as typed (a rich label would draw italic "AB&C", narrower).
    void headerShowsMarkupAsTyped() {
        TAnalyte& a = RefAddAnalyte("A<i>B&C", 1);
        ValidSetLimits(a, 0, 10, 2, 3);
        TResu r = ValidRun(a, 0, {10.0f});
        r.Comment = "<u>x</u>";
        Open(*w, a, r);
        for (QLabel* l : {w->Panel1, w->PanelComment}) {
            QVERIFY2(l->sizeHint().width() >= QFontMetrics(l->font()).horizontalAdvance(l->text()),
                     qPrintable(l->objectName()));
        }
        QCOMPARE(w->Panel1->text(), QStringLiteral("A<i>B&C"));
        QCOMPARE(w->PanelComment->text(), QStringLiteral("<u>x</u>"));
    }

    // An analyte with a rule set of its own: the set's marks per level and across, its name in place
    // of the multirule switch, and its reject rules asking for the corrective action.
    void ownRuleSetIsShownWithItsMarks() {
        TAnalyte& a = RefAddAnalyte("Iron", 2);
        auto limits = [&a] {
            for (int k = 0; k < 2; ++k) {
                ValidSetLimits(a, k, 10, 2, 3);
                a.Limits[static_cast<size_t>(k)].DF = 19;
            }
        };
        limits();
        // A value in SD units of the limits (2 SD warning deviation at 19 degrees of freedom).
        const long double sd = 2 / TQuantile(Settings.AlertRow, 19);
        auto at = [sd](double z) { return static_cast<float>(10 + z * sd); };
        QVERIFY(Operations().SetRuleSet("Iron", MakeQcRuleSet("", "1:3s, 2of3:2s", "1:2s")).Ok());
        using P = std::pair<std::string, RuleStatus>;

        TResu r = ValidRun(a, 5, {at(2.5), at(0.2)});
        a.ClassifyRun(r.Levels);
        Open(*w, a, r);
        QVERIFY(w->CBWestg->isHidden());
        QVERIFY(w->LblRuleSet->isVisible());
        QCOMPARE(w->LblRuleSet->text(), QStringLiteral("Own rules: 1:3s/2of3:2s"));
        QCOMPARE(w->LblRuleSet->toolTip(), QStringLiteral("Reject 1:3s, 2of3:2s; warning 1:2s"));
        QVERIFY(w->LevelBars[0]->Picture.MarksShown);
        QCOMPARE(w->LevelBars[0]->Picture.OwnMarks,
                 (std::vector<P>{{"1:3s", rsClear}, {"2of3:2s", rsClear}, {"1:2s", rsWarning}}));
        QCOMPARE(w->AcrossPicture, (std::vector<P>{{"2of3:2s", rsClear}}));
        TPBoxValidCQ* bar = w->LevelBars[0];
        QCOMPARE(PixelOf(bar, 50 + 96 + 16, 37), QColor(255, 255, 0));
        QCOMPARE(PixelOf(bar, 50 + 16, 37), QApplication::palette().color(QPalette::Button));

        // An earlier value beyond 2 SD: 2of3:2s rejects along level 1, and OK asks what was done.
        RefAddPoint(a, 4, {at(2.4), at(0.1)});
        limits();
        Open(*w, a, r);
        QCOMPARE(w->LevelBars[0]->Picture.OwnMarks[1], (P{"2of3:2s", rsReject}));
        QCOMPARE(PixelOf(bar, 50 + 48 + 16, 37), QColor(255, 0, 0));
        QCOMPARE(w->LevelBars[1]->Picture.OwnMarks,
                 (std::vector<P>{{"1:3s", rsClear}, {"2of3:2s", rsClear}, {"1:2s", rsClear}}));
        answers.reasonQuestions.clear();
        w->BtOK->click();
        QCOMPARE(answers.reasonQuestions.size(), size_t(1));
        QCOMPARE(w->Note().Multirules, std::optional<bool>(true)); // the hidden switch is left as it was

        // Both levels beyond 2 SD in one run: 2of3:2s across; a level rejected leaves no across row.
        TResu both = ValidRun(a, 6, {at(-2.3), at(-2.6)});
        a.ClassifyRun(both.Levels);
        Open(*w, a, both);
        QCOMPARE(w->AcrossPicture, (std::vector<P>{{"2of3:2s", rsReject}}));
        QCOMPARE(PixelOf(w->PBoxWGAcross, 150 + 16, 5), QColor(255, 0, 0));
        w->RejectButtons[1]->click();
        QVERIFY(!w->PanelWGAcross->isVisible());
        w->BtCancel->click();

        // Without the set the multirules and their switch are back.
        QVERIFY(Operations().SetRuleSet("Iron", {}).Ok());
        Open(*w, a, r);
        QVERIFY(w->CBWestg->isVisible());
        QVERIFY(w->LblRuleSet->isHidden());
        QVERIFY(w->LevelBars[0]->Picture.OwnMarks.empty());
        QCOMPARE(w->LevelBars[0]->Picture.Marks[rp12s], rsWarning);
        QCOMPARE(w->AcrossPicture.size(), size_t(4));
    }
};

QTEST_MAIN(TestValidCQ)
#include "test_validcq.moc"
