// The review window: the report of the chosen analytes and period, then the reviewer's sign-off.
#include "UReview.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "UCodePage.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnReview.h"
#include "UReviewReport.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

TWinReview::TWinReview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinReview"));
    setWindowTitle(tr("Review and sign-off"));
    resize(900, 600);
    LBAnalytes = new QListWidget(this);
    LBAnalytes->setObjectName(QStringLiteral("LBAnalytes"));
    LBAnalytes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LBAnalytes->setMaximumWidth(180);
    DateFrom = new TDatePicker(this);
    DateFrom->setObjectName(QStringLiteral("DateFrom"));
    DateTo = new TDatePicker(this);
    DateTo->setObjectName(QStringLiteral("DateTo"));
    BtShow = new QPushButton(tr("&Show"), this);
    BtShow->setObjectName(QStringLiteral("BtShow"));
    Report = new QPlainTextEdit(this);
    Report->setObjectName(QStringLiteral("Report"));
    Report->setReadOnly(true);
    Report->setLineWrapMode(QPlainTextEdit::NoWrap);
    Report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CBReviewer = new QComboBox(this);
    CBReviewer->setObjectName(QStringLiteral("CBReviewer"));
    CBReviewer->setEditable(true);
    CBReviewer->lineEdit()->setMaxLength(4);
    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setEchoMode(QLineEdit::Password);
    BtSign = new QPushButton(tr("Si&gn"), this);
    BtSign->setObjectName(QStringLiteral("BtSign"));
    BtPrint = new QPushButton(tr("&Print"), this);
    BtPrint->setObjectName(QStringLiteral("BtPrint"));
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName(QStringLiteral("BtClose"));
    for (QPushButton* b : {BtShow, BtSign, BtPrint, BtClose}) b->setAutoDefault(false);
    connect(BtPrint, &QPushButton::clicked, this, &TWinReview::BtPrintClick);
    connect(BtShow, &QPushButton::clicked, this, &TWinReview::BtShowClick);
    connect(BtSign, &QPushButton::clicked, this, [this] { BtSignClick(); });
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Analytes"), this));
    left->addWidget(LBAnalytes, 1);
    left->addWidget(new QLabel(tr("From"), this));
    left->addWidget(DateFrom);
    left->addWidget(new QLabel(tr("To"), this));
    left->addWidget(DateTo);
    left->addWidget(BtShow);
    auto* sign = new QHBoxLayout;
    sign->addWidget(new QLabel(tr("Reviewer"), this));
    sign->addWidget(CBReviewer);
    sign->addWidget(new QLabel(tr("Password"), this));
    sign->addWidget(EditPassword);
    sign->addWidget(BtSign);
    sign->addStretch();
    sign->addWidget(BtPrint);
    sign->addWidget(BtClose);
    auto* right = new QVBoxLayout;
    right->addWidget(Report, 1);
    right->addLayout(sign);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
}

void TWinReview::Execute(const TAnalyte* current) {
    FormActivate(current);
    exec();
}

void TWinReview::FormActivate(const TAnalyte* current) {
    LBAnalytes->clear();
    for (const auto& a : ListAnalytes.Items) {
        auto* item = new QListWidgetItem(ToQ(a->Name), LBAnalytes);
        item->setSelected(a.get() == current);
    }
    // The previous calendar month, the usual stretch of a review.
    const QDate today = QDateOf(Today());
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-1);
    DateFrom->setDate(first);
    DateTo->setDate(first.addMonths(1).addDays(-1));
    CBReviewer->clear();
    for (const std::string& op : Operators) CBReviewer->addItem(ToQ(op));
    CBReviewer->setCurrentIndex(-1);
    EditPassword->clear();
    Report->clear();
    BtShowClick();
}

std::vector<TAnalyte*> TWinReview::ChosenAnalytes() const {
    std::vector<TAnalyte*> out;
    for (int i = 0; i < LBAnalytes->count(); ++i)
        if (LBAnalytes->item(i)->isSelected())
            if (TAnalyte* a = ListAnalytes.FindByName(FromQ(LBAnalytes->item(i)->text()))) out.push_back(a);
    return out;
}

void TWinReview::BtShowClick() {
    QStringList lines;
    const TDateTime from = DayOf(DateFrom->date()), to = DayOf(DateTo->date());
    for (TAnalyte* a : ChosenAnalytes()) {
        TJournalFilter f;
        f.Analyte = Cp1252ToUtf8(a->Name);
        const TReviewSummary s = ReviewReport(*a, from, to, Operations().Journal(f),
                                              Operations().Reviews(a->Name), Operations().RuleSet(a->Name));
        for (const std::string& l : s.Lines) lines << ToQ(l);
        lines << QString();
    }
    if (lines.isEmpty()) lines << tr("Choose one or more analytes.");
    Report->setPlainText(lines.join(QLatin1Char('\n')));
}

bool TWinReview::BtSignClick() {
    const std::vector<TAnalyte*> chosen = ChosenAnalytes();
    if (chosen.empty()) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return false;
    }
    const std::string reviewer = FromQ(CBReviewer->currentText().trimmed());
    const std::string password = FromQ(EditPassword->text());
    const TDateTime from = DayOf(DateFrom->date()), to = DayOf(DateTo->date());
    // Every refusal before the question: a wrong password is wrong for every analyte.
    QString periods;
    for (TAnalyte* a : chosen) {
        int runs = 0;
        if (!ShowOutcome(Operations().CheckReviewSignature(*a, from, to, reviewer, password, &runs))) {
            EditPassword->clear();
            return false;
        }
        periods += QStringLiteral("\r  - ") + tr("%1: %2 runs in the period").arg(ToQ(a->Name)).arg(runs);
    }
    const QString question = tr("Sign as %1 the review from %2 to %3 of:")
                                 .arg(ToQ(UpperCase(reviewer)), DateFrom->date().toString(Qt::ISODate),
                                      DateTo->date().toString(Qt::ISODate)) +
                             periods;
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel, FromQ(question)) != mbOK) return false;
    bool all = true;
    for (TAnalyte* a : chosen) {
        TOutcome out = Operations().SignReview(*a, from, to, reviewer, password);
        if (!ShowOutcome(out, mbOK)) {
            all = false;
            break;
        }
    }
    EditPassword->clear();
    BtShowClick();
    return all;
}

void TWinReview::BtPrintClick() {
    const std::vector<TAnalyte*> chosen = ChosenAnalytes();
    if (chosen.empty()) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return;
    }
    const std::vector<const TAnalyte*> analytes(chosen.begin(), chosen.end());
    const TDateTime from = DayOf(DateFrom->date()), to = DayOf(DateTo->date());
    TPrintJobSpec job;
    job.JobTitle = tr("Printing the review");
    job.FileName = TPrintJob::SafeFileName(tr("Review ") + ToQ(analytes.front()->Name));
    TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) { PrintReviewReport(canvas, analytes, from, to); });
}
