// TWinValidCQ: the validation window of a run, with a level bar per QC level and the Westgard marks.
#include "UValidCQ.h"

#include "UUserPrompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <climits>
#include <cmath>

#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UMessages.h"
#include "UPrintJob.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UValidCQ)
};
} // namespace

namespace {
constexpr int WindowWidth = 530;
constexpr int BarWidth = 410;
constexpr int BarHeight = 60;
// Ticks of a bar scale beyond this number mean limits that are not numbers; the scale is left out.
constexpr int MaxTicks = 200;
// The notice of a run the server judged otherwise: room for four lines.
constexpr int RejudgedHeight = 72;

const QColor Navy(0, 0, 128);
const QColor Lime(0, 255, 0);
const QColor Grey(128, 128, 128);

QString ToQt(const std::string& ansi) {
    return QString::fromStdString(Cp1252ToUtf8(ansi));
}

QColor ButtonFace() {
    return QApplication::palette().color(QPalette::Button);
}

QFont BigFont() {
    QFont f = QApplication::font();
    f.setPointSize(16);
    return f;
}

// Alt+1 to Alt+3 press the level's button.
QString RejectCaption(int k, bool rejected) {
    return QStringLiteral("%1&%2")
        .arg(rejected ? TUnitTexts::tr("Retrieve QC") : TUnitTexts::tr("Reject QC"))
        .arg(k + 1);
}

// A paint box that hands its painting to the window.
class TAcrossBox : public QWidget {
public:
    TAcrossBox(TWinValidCQ* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        owner_->PBoxWGAcrossPaint(p);
    }

private:
    TWinValidCQ* owner_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect r) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // names, units and comments are shown as typed
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    return l;
}

QLabel* MakeValuePanel(QWidget* parent, const char* name, QRect r) {
    QLabel* l = MakeLabel(parent, name, QString(), r);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAutoFillBackground(true);
    return l;
}
} // namespace

// ---------------------------------------------------------------- level bar

TPBoxValidCQ::TPBoxValidCQ(TWinValidCQ* owner, int tag, QWidget* parent)
    : QWidget(parent), Tag(tag), owner_(owner) {
    setObjectName(QStringLiteral("PBoxLevel%1").arg(tag + 1));
    setGeometry(10, 70 + 100 * tag, BarWidth, BarHeight);
}

void TPBoxValidCQ::Load(const LevelStats& L, const LevelValue& lv) {
    V = lv.Value;
    if (lv.State == psEmpty) return; // the bar shows "No data"
    ScaleShown = L.State != 6;
    if (L.State == 6) {
        // Unavailable limits: a middle zone of unit width, the marker on its edge on the side where
        // the value lies from the mean.
        W = 0.5L;
        A = 0.8L;
        H = 1.2L;
        if (L.N == 0 || std::fabs(V - L.Mean) < 1e-10L)
            M = V;
        else
            M = L.Mean >= V ? V + 0.5L : V - 0.5L;
        return;
    }
    M = L.Mean;
    W = L.WarnDev;
    A = L.ActionDev;
    H = 1.1L * std::max(A, std::fabs(V - M));
    if (!(H >= 1e-10L)) {
        // Deviations of zero with the value on the target (a fixed level typed so) leave no range to
        // divide by: the layout of unavailable limits around the target, without a scale whose
        // numbers would not be the level's limits.
        W = 0.5L;
        A = 0.8L;
        H = 1.2L;
        ScaleShown = false;
    }
}

int TPBoxValidCQ::X(long double x) const {
    long double r = (x + H - M) / 2 / H * (width() - 40);
    // The default rounding mode rounds half to even.
    long double n = std::nearbyintl(r);
    if (!(n > INT_MIN / 2)) n = INT_MIN / 2; // also for NaN
    if (n > INT_MAX / 2) n = INT_MAX / 2;
    return static_cast<int>(n) + 20;
}

std::vector<std::pair<long double, int>> TPBoxValidCQ::ScaleTicks() const {
    std::vector<std::pair<long double, int>> ticks;
    if (!ScaleShown) return ticks;
    const long double g = 3 * H;
    if (!std::isfinite(g) || g <= 0) return ticks;
    long double p = 10, base;
    if (g > 1) {
        while (p < g) p *= 10;
        base = p / 10;
    } else {
        do p /= 10;
        while (p > g);
        base = p;
    }
    const long double r = g / base;
    long double step = base * (r < 1.2L ? 0.1L : r < 2.4L ? 0.2L : r < 3 ? 0.4L : r < 6 ? 0.5L : 1.0L);
    int decimals = 0;
    if (step < 1) {
        long double q = 1;
        while (q > step) {
            q /= 10;
            ++decimals;
        }
    }
    const long double lo = M - H, hi = M + H;
    const long double k = std::trunc(lo / step);
    long double t = lo >= 0 ? (k + 1) * step : k * step;
    do {
        ticks.push_back({t, decimals});
        t += step;
    } while (t <= hi && static_cast<int>(ticks.size()) < MaxTicks);
    return ticks;
}

void TPBoxValidCQ::paintEvent(QPaintEvent*) {
    QPainter p(this);
    owner_->PaintLevelBar(*this, p);
}

// ---------------------------------------------------------------- rule marks

void DrawRuleMark(QPainter& p, int x, int y, RuleStatus status, const char* name) {
    QColor fill = status == rsReject    ? QColor(255, 0, 0)
                  : status == rsWarning ? QColor(255, 255, 0)
                                        : ButtonFace();
    QColor ink = status == rsClear ? QColor(Qt::white) : QColor(Qt::black);
    p.setBrush(fill);
    p.setPen(QPen(ink, 1));
    p.drawEllipse(QRect(QPoint(x, y), QPoint(x + 32, y + 19)));
    p.drawText(QRect(x + 16 - 30, y + 3, 60, 16), Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(name));
}

// ---------------------------------------------------------------- window

TWinValidCQ::TWinValidCQ(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinValidCQ"));
    setWindowTitle(tr("QC validation"));
    setFixedSize(WindowWidth, 100 + 160);

    Panel1 = MakeLabel(this, "Panel1", QString(), QRect(0, 0, WindowWidth, 41));
    QFont bold = Panel1->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    Panel1->setFont(bold);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette navyText = Panel1->palette();
    navyText.setColor(QPalette::WindowText, Navy);
    Panel1->setPalette(navyText);
    LblUnite = MakeLabel(Panel1, "LblUnite", QString(), QRect(WindowWidth - 110, 12, 100, 18));
    LblUnite->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 41, WindowWidth, 143);
    Label1 = MakeLabel(Panel2, "Label1", tr("Date / time"), QRect(10, 6, 70, 18));
    PanelDate = MakeValuePanel(Panel2, "PanelDate", QRect(80, 5, 150, 20));
    QPalette yellow = PanelDate->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    PanelDate->setPalette(yellow);
    LblOperator = MakeLabel(Panel2, "LblOperator", tr("Operator"), QRect(300, 6, 60, 18));
    PanelOperator = MakeValuePanel(Panel2, "PanelOperator", QRect(365, 5, 60, 20));
    LblComment = MakeLabel(Panel2, "LblComment", tr("Comment"), QRect(10, 30, 70, 18));
    PanelComment = MakeValuePanel(Panel2, "PanelComment", QRect(80, 29, 430, 20));

    for (int k = 0; k < MaxLevels; ++k) {
        const size_t ki = static_cast<size_t>(k);
        QLabel* mat = MakeLabel(Panel2, "", QString(), QRect(32, 55 + 100 * k, 300, 15));
        mat->setObjectName(QStringLiteral("LblMaterial%1").arg(k + 1));
        QFont uf = mat->font();
        uf.setUnderline(true);
        mat->setFont(uf);
        MaterialLabels[ki] = mat;

        LevelBars[ki] = new TPBoxValidCQ(this, k, Panel2);

        // From the bar's end to the window's edge: room for the limit mode in German and French too.
        QLabel* mode = MakeLabel(Panel2, "", QString(), QRect(424, 70 + 100 * k, WindowWidth - 428, 16));
        mode->setObjectName(QStringLiteral("LblMode%1").arg(k + 1));
        mode->setAutoFillBackground(true);
        QPalette green = mode->palette();
        green.setColor(QPalette::Window, QColor(0, 128, 0));
        green.setColor(QPalette::WindowText, Qt::white);
        mode->setPalette(green);
        ModeLabels[ki] = mode;

        auto* bt = new QPushButton(RejectCaption(k, false), Panel2);
        bt->setObjectName(QStringLiteral("BtReject%1").arg(k + 1));
        bt->setGeometry(430, 90 + 100 * k, 80, 30);
        bt->setFocusPolicy(Qt::ClickFocus);
        bt->setAutoDefault(false);
        connect(bt, &QPushButton::clicked, this, [this, k] { RejectButtonClick(k); });
        RejectButtons[ki] = bt;
    }

    PanelWGAcross = new QWidget(this);
    PanelWGAcross->setObjectName(QStringLiteral("PanelWGAcross"));
    PanelWGAcross->setGeometry(0, 184, WindowWidth, 33);
    PBoxWGAcross = new TAcrossBox(this, PanelWGAcross);
    PBoxWGAcross->setObjectName(QStringLiteral("PBoxWGAcross"));
    PBoxWGAcross->setGeometry(10, 3, 300, 27);
    Label3 = MakeLabel(PanelWGAcross, "Label3", tr("Rules across levels"), QRect(14, 9, 118, 16));

    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    BtOK = new QPushButton(QStringLiteral("OK"), Panel3);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtOK->setGeometry(250, 14, 80, 28);
    BtOK->setDefault(true);
    BtCancel = new QPushButton(tr("Cancel"), Panel3);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    BtCancel->setGeometry(340, 14, 80, 28);
    CBWestg = new QCheckBox(tr("&Westgard multirules "), Panel3);
    CBWestg->setObjectName(QStringLiteral("CBWestg"));
    CBWestg->setGeometry(10, 18, 200, 20);
    CBWestg->setChecked(true);
    LblRuleSet = MakeLabel(Panel3, "LblRuleSet", QString(), QRect(10, 20, 235, 18));
    LblRuleSet->setVisible(false);
    LblRejudged = MakeLabel(this, "LblRejudged", QString(), QRect(10, 0, WindowWidth - 20, RejudgedHeight));
    LblRejudged->setWordWrap(true);
    LblRejudged->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LblRejudged->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LblRejudged->setAutoFillBackground(true);
    QPalette notice = LblRejudged->palette();
    notice.setColor(QPalette::Window, QColor(255, 255, 192));
    notice.setColor(QPalette::WindowText, Qt::black);
    LblRejudged->setPalette(notice);
    LblRejudged->setVisible(false);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(CBWestg, &QCheckBox::clicked, this, &TWinValidCQ::CBWestgClick);
}

bool TWinValidCQ::Execute(TAnalyte& analyte, TResu& run) {
    PrepareValidation(analyte, run);
    FormActivate();
    return exec() == QDialog::Accepted;
}

int TWinValidCQ::LevelsInUse() const {
    return analyte_ ? std::clamp(analyte_->NbLevels, 1, MaxLevels) : 0;
}

void TWinValidCQ::ReopenRejudged(const std::string& message) {
    rejudged_ = message;
}

void TWinValidCQ::PrepareValidation(TAnalyte& analyte, TResu& run) {
    analyte_ = &analyte;
    run_ = &run;
    Panel1->setText(ToQt(run.AnalyteName));
    PanelDate->setText(DateTimeText(run.DateTime));
    const bool hasOperator = !run.Operator.empty();
    LblOperator->setVisible(hasOperator);
    PanelOperator->setVisible(hasOperator);
    PanelOperator->setText(ToQt(run.Operator));
    const bool hasComment = !run.Comment.empty();
    LblComment->setVisible(hasComment);
    PanelComment->setVisible(hasComment);
    PanelComment->setText(ToQt(run.Comment));
    // Opened again on the run the server judged otherwise: the user's rejections stand until changed.
    rejudgedShown_ = !rejudged_.empty();
    if (!rejudgedShown_) {
        rejected_ = {};
        everRejected_ = {};
    }
    QString notice = ToQ(rejudged_);
    notice.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    LblRejudged->setText(notice);
    LblRejudged->setVisible(rejudgedShown_);
    rejudged_.clear();
    note_ = {};
    result_ = {};
    verdict_ = {};
    own_ = Operations().RuleSet(analyte.Name);
    // An own rule set replaces the multirules: their switch gives way to the set's name.
    const bool own = !own_.Empty();
    CBWestg->setVisible(!own);
    LblRuleSet->setVisible(own);
    if (own) {
        LblRuleSet->setText(ToQ(FillQ(tr("Own rules: %1"), own_.DisplayName())));
        LblRuleSet->setToolTip(
            ToQ(own_.Warn.empty()
                    ? FillQ(tr("Reject %1"), QcRulesText(own_.Reject))
                    : FillQ(tr("Reject %1; warning %2"), QcRulesText(own_.Reject), QcRulesText(own_.Warn))));
    }
    PBoxWGAcross->setFixedWidth(own ? WindowWidth - 20 : 300);
    levels_ = SelectRuleLevels(analyte, run, rejected_, own || analyte.MultirulesOn());
    ApplyHeight();
}

void TWinValidCQ::ApplyHeight() {
    const int levels = LevelsInUse();
    const bool across = levels_.N >= 2;
    const int notice = rejudgedShown_ ? RejudgedHeight + 6 : 0;
    const int h = (across ? 100 * levels + 193 : 100 * levels + 160) + notice;
    PanelWGAcross->setVisible(across);
    PanelWGAcross->move(0, 100 * levels + 84);
    const int bottom = across ? 100 * levels + 117 : 100 * levels + 84;
    LblRejudged->move(10, bottom + 3);
    Panel3->setGeometry(0, bottom + notice, WindowWidth, 76);
    setFixedSize(WindowWidth, h);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        // Centred across the screen at its first showing; later showings keep the left edge.
        if (!placed_) x_ = (s->geometry().width() - WindowWidth) / 2;
        placed_ = true;
        move(x_, (s->geometry().height() - h) / 2);
    }
}

void TWinValidCQ::FormActivate() {
    if (!analyte_ || !run_) return;
    TAnalyte& a = *analyte_;
    previousIndex_ = a.FindInsertIndex(run_->DateTime) - 1;
    Panel1->setText(ToQt(a.Name));
    LblUnite->setText(ToQt(a.Unit));
    const int levels = LevelsInUse();
    Panel2->setFixedHeight(100 * levels + 43);
    for (int k = 0; k < MaxLevels; ++k) {
        const size_t ki = static_cast<size_t>(k);
        const bool used = k < levels;
        if (!used) run_->Levels[ki].State = psEmpty;
        LevelBars[ki]->setVisible(used);
        RejectButtons[ki]->setVisible(used);
        MaterialLabels[ki]->setVisible(used);
        ModeLabels[ki]->setVisible(used);
        if (!used) continue;
        LevelBars[ki]->Load(a.Limits[ki], run_->Levels[ki]);
        RejectButtons[ki]->setText(RejectCaption(k, rejected_[ki]));
        RejectButtons[ki]->setEnabled(run_->Levels[ki].State != psEmpty);
        MaterialLabels[ki]->setText(ToQt(ListSerum.FindMaterial(a.MaterialId[ki]).Name));
        ModeLabels[ki]->setText(LimitModeText(a.LimitMode[ki]));
    }
    if (CBWestg->isChecked() != a.MultirulesOn()) {
        CBWestg->setChecked(a.MultirulesOn());
        CBWestgClick();
    }
    if (!own_.Empty())
        verdict_ = JudgeAnalyteRun(a, own_, *run_, previousIndex_, rejected_, true);
    else if (levels_.N >= 1)
        result_ = EvaluateMultirules(a, *run_, previousIndex_, rejected_, CBWestg->isChecked());
    RepaintAll();
    BtOK->setFocus();
}

void TWinValidCQ::Evaluate(bool multirulesOn) {
    if (!analyte_ || !run_) return;
    if (!own_.Empty()) {
        levels_ = SelectRuleLevels(*analyte_, *run_, rejected_, true);
        verdict_ = JudgeAnalyteRun(*analyte_, own_, *run_, previousIndex_, rejected_, true);
        result_ = {};
    } else {
        levels_ = SelectRuleLevels(*analyte_, *run_, rejected_, multirulesOn);
        result_ = levels_.N >= 1
                      ? EvaluateMultirules(*analyte_, *run_, previousIndex_, rejected_, multirulesOn)
                      : TMultiruleResult{};
    }
    ApplyHeight();
    RepaintAll();
    BtOK->setFocus();
}

void TWinValidCQ::RepaintAll() {
    Panel2->update();
    PBoxWGAcross->update();
}

void TWinValidCQ::CBWestgClick() {
    Evaluate(CBWestg->isChecked());
}

void TWinValidCQ::RejectButtonClick(int k) {
    if (k < 0 || k >= MaxLevels) return;
    const size_t ki = static_cast<size_t>(k);
    rejected_[ki] = !rejected_[ki];
    everRejected_[ki] = everRejected_[ki] || rejected_[ki];
    RejectButtons[ki]->setText(RejectCaption(k, rejected_[ki]));
    Evaluate(CBWestg->isChecked());
}

void TWinValidCQ::FormClose(bool ok) {
    if (!ok || !analyte_ || !run_) return;
    for (int k = 0; k < LevelsInUse(); ++k)
        if (rejected_[static_cast<size_t>(k)]) run_->Levels[static_cast<size_t>(k)].State = psDiscarded;
    // The switch reaches the analyte with the run, through the layer.
    note_.Multirules = CBWestg->isChecked();
}

bool TWinValidCQ::AskNote() {
    note_ = {};
    if (!analyte_ || !run_) return true;
    TResu probe = *run_;
    for (int k = 0; k < LevelsInUse(); ++k)
        if (rejected_[static_cast<size_t>(k)]) probe.Levels[static_cast<size_t>(k)].State = psDiscarded;
    for (int k = 0; k < LevelsInUse(); ++k) {
        const size_t ki = static_cast<size_t>(k);
        note_.Retrieved[ki] = everRejected_[ki] && !rejected_[ki];
    }
    if (RunIsRejected(*analyte_, probe, CBWestg->isChecked(), own_) &&
        !Prompt().AskReason(FillQ(tr("A rule rejects this run of %1: what was done?"), analyte_->Name),
                            Operations().CorrectiveActions(), note_.CorrectiveAction, note_.Text))
        return false;
    if (!Operations().SignedReviewsAt(*analyte_, {run_->DateTime}).empty() &&
        !AskReasonText(FillQ(tr("This run falls in a reviewed and signed period of %1: why is it added now?"),
                             analyte_->Name),
                       note_.Reason))
        return false;
    return true;
}

void TWinValidCQ::done(int r) {
    // OK waits for the corrective action (and the reason inside a signed review); Cancel there keeps the
    // window open.
    if (r == QDialog::Accepted && !AskNote()) return;
    x_ = x();
    FormClose(r == QDialog::Accepted);
    QDialog::done(r);
}

void TWinValidCQ::PaintLevelBar(TPBoxValidCQ& bar, QPainter& p) {
    TLevelBarPicture pic;
    const int k = bar.Tag;
    const size_t ki = static_cast<size_t>(k);
    const int width = bar.width();
    if (!RejectButtons[ki]->isEnabled()) {
        p.fillRect(bar.rect(), ButtonFace());
        p.setPen(QColor(255, 0, 0));
        p.setFont(BigFont());
        p.drawText(QRect(170, 15, width - 170, 40), Qt::AlignLeft | Qt::AlignTop, tr("No data"));
        bar.Picture = pic;
        return;
    }
    if (rejected_[ki]) {
        pic.Kind = TLevelBarPicture::bkDiscarded;
        p.setPen(Qt::black);
        p.setBrush(Grey);
        p.drawRect(0, 0, width - 1, bar.height() - 1);
        p.setPen(QColor(255, 0, 0));
        p.setFont(BigFont());
        p.drawText(QRect(160, 15, width - 160, 40), Qt::AlignLeft | Qt::AlignTop, tr("Discarded"));
        bar.Picture = pic;
        return;
    }
    pic.Kind = TLevelBarPicture::bkZones;
    const long double m = bar.M, w = bar.W, a = bar.A;
    pic.ZoneEdges = {20, bar.X(m - a), bar.X(m - w), bar.X(m + w), bar.X(m + a), width - 20};
    const QColor zones[5] = {QColor(255, 0, 0), QColor(255, 255, 0), Lime, QColor(255, 255, 0),
                             QColor(255, 0, 0)};
    for (int z = 0; z < 5; ++z) {
        int x1 = pic.ZoneEdges[static_cast<size_t>(z)], x2 = pic.ZoneEdges[static_cast<size_t>(z) + 1];
        if (x2 > x1) p.fillRect(QRect(x1, 17, x2 - x1, 10), zones[z]);
    }
    if (!own_.Empty() && verdict_.TakesPart[ki]) {
        pic.MarksShown = true;
        const std::vector<TRuleFinding>& found = verdict_.Own.Findings;
        const int count = static_cast<int>(found.size());
        // Up to seven marks from the multirules' first place, wider apart for names such as "2of3:2s";
        // more are drawn closer together from further left.
        const int first = count > 7 ? 10 : 50;
        const int step = count > 1 ? std::min(48, (width - 20 - 32 - first) / (count - 1)) : 48;
        for (int j = 0; j < count; ++j) {
            const TRuleFinding& f = found[static_cast<size_t>(j)];
            const RuleStatus st = f.Violated && (f.Within & (1u << k)) ? f.Status : rsClear;
            pic.OwnMarks.push_back({QcRuleName(f.Rule), st});
            DrawRuleMark(p, first + step * j, 35, st, QcRuleName(f.Rule));
        }
    } else if (result_.TakesPart[ki]) {
        pic.MarksShown = true;
        pic.Marks = result_.Level[ki];
        for (int j = 0; j < RuleCount; ++j)
            DrawRuleMark(p, 50 + 40 * j, 35, result_.Level[ki][static_cast<size_t>(j)],
                         LevelRuleNames[static_cast<size_t>(j)]);
    }
    if (bar.ScaleShown) {
        p.setPen(QPen(Navy, 1));
        p.setFont(QApplication::font());
        for (const auto& [t, decimals] : bar.ScaleTicks()) {
            const int x = bar.X(t);
            std::string text = FormatFixed(t, 6, decimals);
            pic.Ticks.push_back({t, x, text});
            p.drawText(QRect(x - 40, 0, 80, 13), Qt::AlignHCenter | Qt::AlignTop,
                       QString::fromStdString(text));
            p.drawLine(x, 12, x, 17);
        }
    }
    pic.MarkerX = bar.X(bar.V);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(pic.MarkerX, 14, pic.MarkerX, 30);
    bar.Picture = pic;
}

void TWinValidCQ::PBoxWGAcrossPaint(QPainter& p) {
    AcrossPicture.clear();
    if (!own_.Empty()) {
        if (verdict_.N < 2) return;
        // The rules that read several values, right of the row's label.
        std::vector<const TRuleFinding*> across;
        for (const TRuleFinding& f : verdict_.Own.Findings)
            if (!IsSingleValueRule(f.Rule)) across.push_back(&f);
        const int count = static_cast<int>(across.size());
        const int first = 150;
        const int step =
            count > 1 ? std::min(48, (PBoxWGAcross->width() - 2 - 32 - first) / (count - 1)) : 48;
        for (int j = 0; j < count; ++j) {
            const TRuleFinding& f = *across[static_cast<size_t>(j)];
            const RuleStatus st = f.Violated && f.Across ? f.Status : rsClear;
            DrawRuleMark(p, first + step * j, 3, st, QcRuleName(f.Rule));
            AcrossPicture.push_back({QcRuleName(f.Rule), st});
        }
        return;
    }
    if (result_.N < 2) return;
    const TRuleNames& names = result_.AcrossNames();
    for (int j = FirstAcrossRule; j < RuleCount; ++j) {
        const size_t ji = static_cast<size_t>(j);
        DrawRuleMark(p, 40 * j + 49, 3, result_.Across[ji], names[ji]);
        AcrossPicture.push_back({names[ji], result_.Across[ji]});
    }
}
