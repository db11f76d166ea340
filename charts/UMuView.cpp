#include "UMuView.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

#include "UMessages.h"
#include "UPrintJob.h"
#include "UPrnUncertainty.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

namespace {
QLabel* Label(QWidget* parent, const QString& text, QWidget* buddy, const QRect& r) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(r);
    l->setBuddy(buddy);
    return l;
}
} // namespace

TWinMu::TWinMu(QWidget* parent) : QDialog(parent) {
    setObjectName("WinMu");
    setFixedSize(780, 500);
    CBAnalyte = new QComboBox(this);
    CBAnalyte->setObjectName("CBAnalyte");
    CBAnalyte->setGeometry(70, 7, 150, 22);
    CBAnalyte->setAccessibleName(tr("Analyte"));
    Label(this, tr("&Analyte"), CBAnalyte, QRect(8, 10, 60, 16));
    DateFrom = new TDatePicker(this);
    DateFrom->setObjectName("DateFrom");
    DateFrom->setGeometry(276, 7, 110, 22);
    DateFrom->setAccessibleName(tr("First date"));
    Label(this, tr("&From"), DateFrom, QRect(230, 10, 44, 16));
    DateTo = new TDatePicker(this);
    DateTo->setObjectName("DateTo");
    DateTo->setGeometry(414, 7, 110, 22);
    DateTo->setAccessibleName(tr("Last date"));
    Label(this, tr("&to"), DateTo, QRect(394, 10, 18, 16));
    for (TDatePicker* d : {DateFrom, DateTo}) d->setDisplayFormat(DatePickerFormat());
    EditK = new QDoubleSpinBox(this);
    EditK->setObjectName("EditK");
    EditK->setGeometry(560, 7, 70, 22);
    EditK->setRange(0.1, 10);
    EditK->setDecimals(2);
    EditK->setSingleStep(0.1);
    EditK->setValue(2);
    EditK->setAccessibleName(tr("Coverage factor k"));
    Label(this, tr("&k"), EditK, QRect(540, 10, 18, 16));

    CBBias = new QComboBox(this);
    CBBias->setObjectName("CBBias");
    CBBias->setGeometry(120, 37, 120, 22);
    CBBias->setAccessibleName(tr("Source of the bias"));
    // The peer data give the bias of Sigma; the uncertainty of a peer mean is not known here.
    for (TBiasSource s : {TBiasSource::None, TBiasSource::Target, TBiasSource::Eqa})
        CBBias->addItem(TUncertaintyTexts::Source(s), static_cast<int>(s));
    Label(this, tr("&Bias source"), CBBias, QRect(8, 40, 110, 16));
    EditTargetU = new QLineEdit(this);
    EditTargetU->setObjectName("EditTargetU");
    EditTargetU->setGeometry(340, 37, 60, 22);
    EditTargetU->setAccessibleName(tr("Stated uncertainty of the target in percent"));
    Label(this, tr("Target &u %"), EditTargetU, QRect(250, 40, 88, 16));
    EditMaxU = new QLineEdit(this);
    EditMaxU->setObjectName("EditMaxU");
    EditMaxU->setGeometry(490, 37, 60, 22);
    EditMaxU->setAccessibleName(tr("Maximum allowable U in percent"));
    Label(this, tr("&Max. U %"), EditMaxU, QRect(410, 40, 78, 16));
    EditCvi = new QLineEdit(this);
    EditCvi->setObjectName("EditCvi");
    EditCvi->setGeometry(640, 37, 60, 22);
    EditCvi->setAccessibleName(tr("Within-subject biological variation CVI in percent"));
    Label(this, tr("or &CVI %"), EditCvi, QRect(560, 40, 78, 16));

    Grid = new QTableWidget(0, 10, this);
    Grid->setObjectName("Grid");
    Grid->setGeometry(8, 68, 764, 260);
    Grid->setAccessibleName(tr("Measurement uncertainty per level"));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setHorizontalHeaderLabels({tr("Level"), tr("Lots (n, CV)"), tr("N"), tr("u(Rw) %"), tr("u(bias) %"),
                                     tr("Source"), tr("u_c %"), tr("U %"), tr("Max. U %"), tr("Met")});
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setStretchLastSection(true);
    LblNote = new QLabel(this);
    LblNote->setObjectName("LblNote");
    LblNote->setTextFormat(Qt::PlainText);
    LblNote->setWordWrap(true);
    LblNote->setGeometry(8, 334, 764, 124);
    LblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BtPrint = new QPushButton(tr("&Print..."), this);
    BtPrint->setObjectName("BtPrint");
    BtPrint->setGeometry(600, 466, 80, 25);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(690, 466, 80, 25);
    BtClose->setDefault(true);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtPrint, &QPushButton::clicked, this, &TWinMu::BtPrintClick);
    connect(CBAnalyte, &QComboBox::currentIndexChanged, this, &TWinMu::Refill);
    connect(DateFrom, &QDateEdit::dateChanged, this, &TWinMu::Refill);
    connect(DateTo, &QDateEdit::dateChanged, this, &TWinMu::Refill);
    connect(EditK, &QDoubleSpinBox::valueChanged, this, &TWinMu::Refill);
    connect(CBBias, &QComboBox::currentIndexChanged, this, &TWinMu::Refill);
    for (QLineEdit* e : {EditTargetU, EditMaxU, EditCvi})
        connect(e, &QLineEdit::editingFinished, this, &TWinMu::Refill);
    setTabOrder(CBAnalyte, DateFrom);
    setTabOrder(DateFrom, DateTo);
    setTabOrder(DateTo, EditK);
    setTabOrder(EditK, CBBias);
    setTabOrder(CBBias, EditTargetU);
    setTabOrder(EditTargetU, EditMaxU);
    setTabOrder(EditMaxU, EditCvi);
    setTabOrder(EditCvi, Grid);
    setTabOrder(Grid, BtPrint);
    setTabOrder(BtPrint, BtClose);
}

const TAnalyte* TWinMu::Analyte() const {
    const int k = CBAnalyte->currentIndex();
    return k >= 0 && k < ListAnalytes.Count() ? &ListAnalytes[k] : nullptr;
}

int TWinMu::Execute(const TAnalyte* analyte) {
    if (ListAnalytes.Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    {
        const QSignalBlocker b1(CBAnalyte), b2(DateFrom), b3(DateTo);
        CBAnalyte->clear();
        int current = 0;
        for (int k = 0; k < ListAnalytes.Count(); ++k) {
            CBAnalyte->addItem(ToQString(ListAnalytes[k].Name));
            if (&ListAnalytes[k] == analyte) current = k;
        }
        CBAnalyte->setCurrentIndex(current);
        const TUncertaintyRequest r = DefaultUncertaintyRequest(Today());
        DateFrom->setDate(QDateOf(r.From));
        DateTo->setDate(QDateOf(r.To));
    }
    Refill();
    return exec();
}

bool TWinMu::Request(TUncertaintyRequest& r, QString& why) const {
    r = TUncertaintyRequest{};
    r.From = DayOf(DateFrom->date());
    r.To = DayOf(DateTo->date());
    r.K = static_cast<long double>(EditK->value());
    r.BiasSource = static_cast<TBiasSource>(CBBias->currentData().toInt());
    // An empty box gives no value; a value must be a number above zero (the target's u: not below).
    auto number = [&](QLineEdit* e, const QString& name, bool zero, std::optional<long double>& out) {
        const std::string text = Trim(FromQString(e->text()));
        if (text.empty()) return true;
        long double v = 0;
        if (!ParseDecimal(text, Regional.DecimalSeparator, v) || !std::isfinite(static_cast<double>(v)) ||
            v < 0 || (!zero && v == 0)) {
            why = (zero ? tr("%1 must be a number not below zero") : tr("%1 must be a number above zero"))
                      .arg(name);
            return false;
        }
        out = v;
        return true;
    };
    if (!number(EditMaxU, tr("The maximum U"), false, r.Goal.MaxUPct) ||
        !number(EditCvi, tr("The CVI"), false, r.Goal.CviPct))
        return false;
    if (r.Goal.MaxUPct && r.Goal.CviPct) {
        why = tr("Give the maximum U or the CVI, not both");
        return false;
    }
    if (r.BiasSource == TBiasSource::Target)
        return number(EditTargetU, tr("The target's u"), true, r.TargetUPct);
    return true;
}

void TWinMu::Refill() {
    levels_.clear();
    notes_.clear();
    Grid->setRowCount(0);
    EditTargetU->setEnabled(static_cast<TBiasSource>(CBBias->currentData().toInt()) == TBiasSource::Target);
    const TAnalyte* a = Analyte();
    if (!a) return;
    setWindowTitle(tr("Measurement uncertainty of %1").arg(ToQString(a->Name)));
    QStringList notes;
    QString why;
    if (!Request(request_, why)) {
        notes << why;
    } else {
        const TOutcome out = Operations().Uncertainty(*a, request_, levels_);
        if (!out.Ok()) notes << ToQString(out.Message);
        notes_ = out.Notes;
    }
    Grid->setRowCount(static_cast<int>(levels_.size()));
    for (int r = 0; r < static_cast<int>(levels_.size()); ++r) {
        const TLevelUncertainty& u = levels_[static_cast<size_t>(r)];
        const bool figures = u.Gap.empty();
        const QString dash = QStringLiteral("-");
        const QString cells[] = {QString::number(u.Level + 1),
                                 TUncertaintyTexts::Lots(u),
                                 QString::number(u.N),
                                 TUncertaintyTexts::Pct(u.URwPct),
                                 figures ? TUncertaintyTexts::Pct(u.UBiasPct) : dash,
                                 TUncertaintyTexts::Source(u.BiasSource),
                                 figures ? TUncertaintyTexts::Pct(u.UcPct) : dash,
                                 figures ? TUncertaintyTexts::Pct(u.UPct) : dash,
                                 TUncertaintyTexts::Pct(u.MaxUPct),
                                 TUncertaintyTexts::Met(u)};
        for (int c = 0; c < 10; ++c) Grid->setItem(r, c, new QTableWidgetItem(cells[c]));
        if (!figures) notes << tr("Level %1: no uncertainty: %2").arg(u.Level + 1).arg(ToQString(u.Gap));
        for (const std::string& n : u.Notes) notes << tr("Level %1: %2").arg(u.Level + 1).arg(ToQString(n));
    }
    for (const std::string& n : notes_) notes << ToQString(n);
    Grid->resizeColumnsToContents();
    Grid->resizeRowsToContents();
    notes << TUncertaintyTexts::Formula(request_.K);
    LblNote->setText(notes.join(QLatin1Char('\n')));
    BtPrint->setEnabled(!levels_.empty());
}

void TWinMu::BtPrintClick() {
    const TAnalyte* a = Analyte();
    if (!a || levels_.empty()) return;
    TUncertaintyPrintout p;
    p.Analyte = a->Name;
    p.Decimals = a->Decimals;
    p.Request = request_;
    p.Levels = levels_;
    p.Notes = notes_;
    TPrintJobSpec job;
    job.FileName = TPrintJob::SafeFileName(tr("Measurement uncertainty of %1").arg(ToQString(a->Name)));
    TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) { PrintUncertainty(canvas, p); });
}
