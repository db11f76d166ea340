#include "UPatientQcView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "UGlobale.h"
#include "UMessages.h"
#include "UPqcTuning.h"
#include "UPrintJob.h"
#include "UQualityCharts.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

namespace {
constexpr TPqcProcedure Procedures[] = {TPqcProcedure::MovingAverage, TPqcProcedure::MovingMedian,
                                        TPqcProcedure::Ewma};

QLabel* Caption(QWidget* parent, const QString& text, QWidget* buddy, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y + 3, w, 16);
    l->setBuddy(buddy);
    return l;
}

template <typename T>
T* Box(QWidget* parent, const char* name, const QString& accessible, int x, int y, int w) {
    auto* b = new T(parent);
    b->setObjectName(name);
    b->setAccessibleName(accessible);
    b->setGeometry(x, y, w, 22);
    return b;
}
} // namespace

TWinPatientQc::TWinPatientQc(QWidget* parent) : QDialog(parent) {
    setObjectName("WinPatientQc");
    setFixedSize(800, 620);
    CBProcedure = Box<QComboBox>(this, "CBProcedure", tr("Procedure"), 90, 8, 150);
    CBProcedure->addItems({tr("Moving average"), tr("Moving median"), tr("EWMA")});
    Caption(this, tr("&Procedure"), CBProcedure, 8, 8, 80);
    EdN = Box<QSpinBox>(this, "EdN", tr("N"), 290, 8, 70);
    EdN->setRange(1, 10000);
    Caption(this, tr("&N"), EdN, 250, 8, 36);
    EdLambda = Box<QLineEdit>(this, "EdLambda", tr("Lambda"), 440, 8, 70);
    Caption(this, tr("&Lambda"), EdLambda, 370, 8, 66);
    EdTruncLow = Box<QLineEdit>(this, "EdTruncLow", tr("Truncation low"), 90, 36, 70);
    Caption(this, tr("&Truncation"), EdTruncLow, 8, 36, 80);
    EdTruncHigh = Box<QLineEdit>(this, "EdTruncHigh", tr("Truncation high"), 170, 36, 70);
    CBTruncation =
        Box<QComboBox>(this, "CBTruncation", tr("Values outside the truncation limits"), 250, 36, 260);
    CBTruncation->addItems({tr("left out"), tr("set to the nearer limit")});
    EdTarget = Box<QLineEdit>(this, "EdTarget", tr("Target"), 90, 64, 70);
    Caption(this, tr("T&arget"), EdTarget, 8, 64, 80);
    EdLow = Box<QLineEdit>(this, "EdLow", tr("Lower control limit"), 290, 64, 70);
    Caption(this, tr("L&imits"), EdLow, 180, 64, 106);
    EdHigh = Box<QLineEdit>(this, "EdHigh", tr("Upper control limit"), 370, 64, 70);
    BtPropose = new QPushButton(tr("P&ropose"), this);
    BtPropose->setObjectName("BtPropose");
    BtPropose->setGeometry(600, 8, 90, 25);
    BtPropose->setToolTip(tr("Target, limits and truncation from the stream's own history"));
    BtSave = new QPushButton(tr("&Save"), this);
    BtSave->setObjectName("BtSave");
    BtSave->setGeometry(700, 8, 90, 25);
    BtTune = new QPushButton(tr("Sim&ulate..."), this);
    BtTune->setObjectName("BtTune");
    BtTune->setGeometry(600, 36, 190, 25);
    BtTune->setToolTip(
        tr("Each procedure tried on the stream with biases introduced: false alarms and patients "
           "affected before detection"));
    WinTuning = new TWinPqcTuning(this);
    PBoxPqc = new TChartBox(this, [this](QPainter& p, const QRect& r) {
        DrawPqcChart(p, r, run_.Points, kept_.value_or(TPqcSettings{}), alarms_);
    });
    PBoxPqc->setObjectName("PBoxPqc");
    PBoxPqc->setGeometry(8, 94, 784, 270);
    PBoxPqc->setAccessibleName(tr("Patient-based QC chart"));
    LblCounts = new QLabel(this);
    LblCounts->setObjectName("LblCounts");
    LblCounts->setTextFormat(Qt::PlainText);
    LblCounts->setWordWrap(true);
    LblCounts->setGeometry(8, 368, 784, 34);
    LblCounts->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    GridAlarms = new QTableWidget(0, 5, this);
    GridAlarms->setObjectName("GridAlarms");
    GridAlarms->setGeometry(8, 426, 784, 150);
    GridAlarms->setAccessibleName(tr("Alarms"));
    GridAlarms->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridAlarms->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridAlarms->setSelectionMode(QAbstractItemView::SingleSelection);
    GridAlarms->setHorizontalHeaderLabels(
        {tr("Alarm"), tr("State"), tr("Corrective action"), tr("Operator"), tr("Acknowledged (UTC)")});
    GridAlarms->verticalHeader()->setVisible(false);
    GridAlarms->horizontalHeader()->setStretchLastSection(true);
    Caption(this, tr("Alar&ms"), GridAlarms, 8, 404, 200);
    CBOperator = Box<QComboBox>(this, "CBOperator", tr("Operator"), 90, 586, 90);
    CBOperator->setEditable(true);
    Caption(this, tr("&Operator"), CBOperator, 8, 586, 80);
    BtAcknowledge = new QPushButton(tr("Ac&knowledge..."), this);
    BtAcknowledge->setObjectName("BtAcknowledge");
    BtAcknowledge->setGeometry(190, 585, 120, 25);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(710, 585, 80, 25);
    BtClose->setDefault(true);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtPropose, &QPushButton::clicked, this, &TWinPatientQc::BtProposeClick);
    connect(BtSave, &QPushButton::clicked, this, &TWinPatientQc::BtSaveClick);
    connect(BtTune, &QPushButton::clicked, this, &TWinPatientQc::BtTuneClick);
    connect(BtAcknowledge, &QPushButton::clicked, this, &TWinPatientQc::BtAcknowledgeClick);
    connect(CBProcedure, &QComboBox::currentIndexChanged, this,
            [this](int k) { EdLambda->setEnabled(k == 2); });
    connect(GridAlarms, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });
}

int TWinPatientQc::Execute(const TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    setWindowTitle(tr("Patient-based QC of %1").arg(ToQString(analyte->Name)));
    CBOperator->clear();
    for (const std::string& op : Operators) CBOperator->addItem(ToQString(op));
    CBOperator->setCurrentText(ToQString(Operations().OperatorCode()));
    kept_ = Operations().PatientQcProcedure(*analyte);
    ShowSettings(kept_.value_or(TPqcSettings{}));
    Refill();
    return exec();
}

void TWinPatientQc::ShowSettings(const TPqcSettings& s) {
    const int decimals = analyte_ ? analyte_->Decimals + 1 : 2;
    for (int k = 0; k < 3; ++k)
        if (Procedures[k] == s.Procedure) CBProcedure->setCurrentIndex(k);
    EdLambda->setEnabled(s.Procedure == TPqcProcedure::Ewma);
    EdN->setValue(s.N);
    EdLambda->setText(FixedText(s.Lambda, 2));
    EdTruncLow->setText(s.TruncLow ? FixedText(*s.TruncLow, decimals) : QString());
    EdTruncHigh->setText(s.TruncHigh ? FixedText(*s.TruncHigh, decimals) : QString());
    CBTruncation->setCurrentIndex(s.Truncation == TPqcTruncation::Winsorise ? 1 : 0);
    const bool set = s.Low != 0 || s.High != 0;
    EdTarget->setText(set ? FixedText(s.Target, decimals) : QString());
    EdLow->setText(set ? FixedText(s.Low, decimals) : QString());
    EdHigh->setText(set ? FixedText(s.High, decimals) : QString());
}

bool TWinPatientQc::ReadSettings(TPqcSettings& s, bool withLimits) {
    s.Procedure = Procedures[std::clamp(CBProcedure->currentIndex(), 0, 2)];
    s.N = EdN->value();
    s.Truncation = CBTruncation->currentIndex() == 1 ? TPqcTruncation::Winsorise : TPqcTruncation::Exclude;
    // An empty truncation box is no limit on that side; the others need a number.
    auto read = [](QLineEdit* box, bool optional) -> std::optional<double> {
        std::string text = FromQString(box->text());
        if (optional && Trim(text).empty()) return std::nullopt;
        const long double v = ReadRealText(text, false);
        box->setText(ToQString(text));
        return static_cast<double>(v);
    };
    QLineEdit* at = nullptr;
    try {
        if (s.Procedure == TPqcProcedure::Ewma) s.Lambda = *read(at = EdLambda, false);
        s.TruncLow = read(at = EdTruncLow, true);
        s.TruncHigh = read(at = EdTruncHigh, true);
        if (withLimits) {
            s.Target = *read(at = EdTarget, false);
            s.Low = *read(at = EdLow, false);
            s.High = *read(at = EdHigh, false);
        }
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, FillQ(tr("%1: %2"), FromQString(at->accessibleName()), e.what()));
        at->setFocus();
        return false;
    }
    return true;
}

void TWinPatientQc::BtProposeClick() {
    if (!analyte_) return;
    TPqcSettings s = kept_.value_or(TPqcSettings{});
    if (!ReadSettings(s, false)) return;
    const TPqcProposal proposal = ProposePqc(s, Operations().PatientStream(*analyte_));
    if (!proposal.Ok) {
        ShowMessageBox(mkWarning, mbOK, FillQ(tr("%1: %2"), analyte_->Name, proposal.Message));
        return;
    }
    ShowSettings(proposal.Settings);
}

void TWinPatientQc::BtTuneClick() {
    if (!analyte_) return;
    TPqcSettings s = kept_.value_or(TPqcSettings{});
    if (!ReadSettings(s, false)) return;
    WinTuning->Execute(s, Operations().PatientStream(*analyte_), analyte_->Decimals);
    if (WinTuning->Chosen()) ShowSettings(*WinTuning->Chosen());
}

void TWinPatientQc::BtSaveClick() {
    if (!analyte_) return;
    TPqcSettings s = kept_.value_or(TPqcSettings{});
    if (!ReadSettings(s, true)) return;
    if (!ShowOutcome(Operations().SetPatientQcProcedure(*analyte_, s), mbOK)) return;
    kept_ = Operations().PatientQcProcedure(*analyte_);
    Refill();
}

void TWinPatientQc::BtAcknowledgeClick() {
    const int row = GridAlarms->currentRow();
    if (!analyte_ || row < 0 || row >= static_cast<int>(alarms_.size())) return;
    const TPqcAlarm& alarm = alarms_[static_cast<size_t>(row)];
    if (alarm.Acknowledged) return;
    std::string choice, text;
    if (!Prompt().AskReason(FillQ(tr("Alarm of %1 at %2: what was done?"), analyte_->Name,
                                  Regional.DateTimeToText(alarm.Time)),
                            Operations().CorrectiveActions(), choice, text))
        return;
    std::string action = Trim(choice);
    if (!Trim(text).empty()) action += (action.empty() ? "" : "; ") + Trim(text);
    ShowOutcome(Operations().AcknowledgePatientQcAlarm(*analyte_, alarm.Time, action,
                                                       FromQString(CBOperator->currentText())),
                mbOK);
    Refill();
}

void TWinPatientQc::Refill() {
    run_ = {};
    alarms_.clear();
    GridAlarms->setRowCount(0);
    if (!analyte_) return;
    const std::vector<TPatientResult> stream = Operations().PatientStream(*analyte_);
    if (kept_) {
        run_ = RunPqc(*kept_, stream);
        alarms_ = Operations().PatientQcAlarms(*analyte_, *kept_, run_);
    }
    const TPqcRecordReport excluded = Operations().PatientExcluded(*analyte_);
    QString counts = tr("Results: %1; left out by rule: %2 not numeric, %3 censored, %4 flagged")
                         .arg(stream.size())
                         .arg(excluded.NotNumeric)
                         .arg(excluded.Censored)
                         .arg(excluded.Flagged);
    if (kept_)
        counts += tr("; outside the truncation limits: %1").arg(run_.Truncated);
    else
        counts += QLatin1Char('\n') + tr("No procedure is kept for %1: set one (Propose fills it from the "
                                         "stream) and save it.")
                                          .arg(ToQString(analyte_->Name));
    LblCounts->setText(counts);
    GridAlarms->setRowCount(static_cast<int>(alarms_.size()));
    int firstOpen = -1;
    for (int k = 0; k < static_cast<int>(alarms_.size()); ++k) {
        const TPqcAlarm& a = alarms_[static_cast<size_t>(k)];
        if (!a.Acknowledged && firstOpen < 0) firstOpen = k;
        const QString cells[] = {ToQString(Regional.DateTimeToText(a.Time)),
                                 a.Acknowledged ? tr("acknowledged") : tr("open"), ToQString(a.Action),
                                 ToQString(a.Operator), ToQString(a.AcknowledgedUtc)};
        for (int c = 0; c < 5; ++c) GridAlarms->setItem(k, c, new QTableWidgetItem(cells[c]));
    }
    GridAlarms->resizeColumnsToContents();
    if (firstOpen >= 0) GridAlarms->setCurrentCell(firstOpen, 0);
    UpdateButtons();
    PBoxPqc->update();
}

void TWinPatientQc::UpdateButtons() {
    const int row = GridAlarms->currentRow();
    BtAcknowledge->setEnabled(row >= 0 && row < static_cast<int>(alarms_.size()) &&
                              !alarms_[static_cast<size_t>(row)].Acknowledged);
}
