// TWinImport: the preview of exchange text (a file or the clipboard) and its addition to an analyte;
// and the copy of an analyte's points to the clipboard.
#include "UImport.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <functional>
#include <memory>

#include "UCodePage.h"
#include "UGlobale.h"
#include "UImportText.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "URefPrintout.h"
#include "URegional.h"
#include "UStructures.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UImport)
};
} // namespace

using namespace refui;

TWinImport::TWinImport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinImport"));
    setFixedSize(520, 400);

    LB = MakeRowList13(this, "LB", {80, 160, 240, 320, 400}, false);
    LB->setSelectionMode(QAbstractItemView::NoSelection);
    LB->setGeometry(10, 30, 500, 320);
    PlaceColumnTitles(this, LB,
                      {QT_TRANSLATE_NOOP("URefPrintout", "Date"), QT_TRANSLATE_NOOP("URefPrintout", "Time"),
                       QT_TRANSLATE_NOOP("URefPrintout", "QC1"), QT_TRANSLATE_NOOP("URefPrintout", "QC2"),
                       QT_TRANSLATE_NOOP("URefPrintout", "QC3")},
                      {0, 80, 160, 240, 320});

    LblNotes = new QLabel(this);
    LblNotes->setObjectName(QStringLiteral("LblNotes"));
    LblNotes->setGeometry(10, 354, 500, 18);
    LBNotes = new QListWidget(this);
    LBNotes->setObjectName(QStringLiteral("LBNotes"));
    LBNotes->setGeometry(10, 372, 500, 96);
    LblNotes->setBuddy(LBNotes);

    BtAdd = new QPushButton(this);
    BtAdd->setObjectName(QStringLiteral("BtAdd"));
    BtAdd->setGeometry(10, 362, 300, 27);
    BtAdd->setAutoDefault(false);
    BitBtn1 = new QPushButton(tr("Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(410, 362, 100, 27);
    BitBtn1->setAutoDefault(false);
    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(320, 360, 36, 30);

    connect(BtAdd, &QPushButton::clicked, this, &TWinImport::BtAddClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtCle, &QPushButton::clicked, this, &TWinImport::BtCleClick);
}

void TWinImport::Parse(std::string_view text) {
    LB->Rows()->Reset(0, {});
    // A long text is read under a progress bar whose Cancel stops the reading (nothing is kept then).
    std::unique_ptr<QProgressDialog> bar;
    std::function<bool(size_t, size_t)> progress;
    if (text.size() >= ProgressFromBytes) {
        bar = std::make_unique<QProgressDialog>(tr("Reading the lines..."), tr("Cancel"), 0, 1000,
                                                parentWidget());
        bar->setObjectName(QStringLiteral("ImportProgress"));
        bar->setWindowModality(Qt::ApplicationModal);
        bar->setMinimumDuration(300);
        progress = [&bar](size_t done, size_t total) {
            bar->setValue(static_cast<int>(done * 1000 / std::max<size_t>(total, 1)));
            QCoreApplication::processEvents();
            return !bar->wasCanceled();
        };
    }
    parsed_ = ParseImportText(text, analyte_->Decimals, analyte_->NbLevels, progress);
    LB->Rows()->Reset(static_cast<int>(parsed_.Runs.size()), [this](int i) {
        return i < static_cast<int>(parsed_.Runs.size()) ? ToQt(parsed_.Line(static_cast<size_t>(i)))
                                                         : QString();
    });
    ShowNotes();
}

// Skipped lines are listed under the runs, the window growing to hold them; without any it keeps its
// size.
void TWinImport::ShowNotes() {
    LBNotes->clear();
    for (const std::string& note : parsed_.Notes) LBNotes->addItem(ToQt(note));
    if (parsed_.NotesLeftOut > 0)
        LBNotes->addItem(QString::number(parsed_.NotesLeftOut) + tr(" more lines skipped"));
    const bool any = LBNotes->count() > 0;
    LblNotes->setText(tr("&Lines skipped or partly read: ") +
                      QString::number(parsed_.Notes.size() + parsed_.NotesLeftOut));
    LblNotes->setVisible(any);
    LBNotes->setVisible(any);
    const int buttons = any ? 478 : 362;
    setFixedSize(520, buttons + 38);
    BtAdd->move(10, buttons);
    BitBtn1->move(410, buttons);
    BtCle->move(320, buttons - 2);
}

void TWinImport::PreviewText(TAnalyte& analyte, std::string_view text) {
    analyte_ = &analyte;
    setWindowTitle(tr("Imported file contents"));
    Parse(text);
}

void TWinImport::PreviewClipboard(TAnalyte& analyte) {
    analyte_ = &analyte;
    setWindowTitle(tr("ClipBoard contents"));
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) {
        parsed_ = TImportText{};
        LB->Rows()->Reset(1, [](int) { return tr("Nothing to paste from the clipboard"); });
        ShowNotes();
        throw EQcError("");
    }
    Parse(Utf8ToCp1252(text.toStdString()));
}

bool TWinImport::Execute() {
    FormActivate();
    return exec() == QDialog::Accepted;
}

void TWinImport::FormActivate() {
    const bool locked = !Settings.Password.empty();
    BtAdd->setEnabled(!locked);
    BtCle->setVisible(locked);
    BtAdd->setText(tr("&Add the QC data to ") + ToQt(analyte_->Name));
}

void TWinImport::BtAddClick() {
    // Nothing readable: say why and change nothing (adding would only reset the limit modes).
    if (parsed_.LinesRead == 0) {
        ShowMessageBox(mkInformation, mbOK,
                       parsed_.NothingRead.empty() ? FromQ(tr("Nothing to import."))
                                                   : FromQ(CoreTextQ(parsed_.NothingRead)));
        return;
    }
    // A date after today is a typing error or a wrong clock more often than not: asked, not taken unseen.
    for (size_t i = 0; i < parsed_.Runs.size(); ++i) {
        if (DatePart(parsed_.Runs[i].DateTime) <= Today()) continue;
        if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                           FillQ(tr("Line %1 is dated %2, after today.\rAdd the runs all the same?"),
                                 std::to_string(parsed_.Shapes[i].Line),
                                 Regional.DateToText(parsed_.Runs[i].DateTime))) != mbOK)
            return;
        break;
    }
    if (analyte_->Count() > 0 &&
        ShowMessageBox(
            mkConfirmation, mbOK | mbCancel,
            FromQ(tr("Add the new QC points to the previous ones\rThe QC mode will be reset to mobile"))) !=
            mbOK) {
        reject();
        return;
    }
    // Values of levels the analyte does not use are dropped and runs left without a value skipped, as
    // the companion's import does; the points are written before the window closes.
    // Runs dated inside a signed review need a reason, which reopens it.
    std::vector<TDateTime> times;
    for (const TResu& r : parsed_.Runs) times.push_back(r.DateTime);
    std::string reason;
    if (!Operations().SignedReviewsAt(*analyte_, times).empty() &&
        !AskReasonText(FillQ(tr("Runs fall in a reviewed and signed period of %1: why are they added now?"),
                             analyte_->Name),
                       reason))
        return;
    if (!ShowOutcome(Operations().ImportRuns(*analyte_, parsed_.Runs, nullptr, reason))) return;
    accept();
}

void TWinImport::BtCleClick() {
    if (AskPassword()) {
        BtAdd->setEnabled(true);
        BtCle->hide();
    }
}

void CopyAnalyteToClipboard(const TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Nothing to copy.")));
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(Cp1252ToUtf8(analyte->PointsAsText())));
    ShowMessageBox(
        mkInformation, mbYes,
        FillQ(TUnitTexts::tr("The data for %1 are now copied in the clipboard.\rYou can paste them in a "
                             "spreadsheet."),
              analyte->Name));
}
