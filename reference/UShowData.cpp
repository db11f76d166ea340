// TWinShowData: the QC data table of an analyte, with deletion of points and taking one out to edit.
#include "UShowData.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "UStructures.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

using namespace refui;

namespace {
bool ReadsBackAs(const std::string& text, float value) {
    try {
        LevelValue lv = ReadValueText(text);
        return lv.State != psEmpty && lv.Value == value;
    } catch (const EQcError&) {
        return false;
    }
}
} // namespace

std::string ValueTextForEdit(float value, int decimals) {
    std::string text = FormatFixed(value, 8, decimals);
    if (ReadsBackAs(text, value) || !std::isfinite(value) || value == 0) return text;
    // Decimals beyond those giving 8 significant digits only add zeros.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(value)))));
    const int most = std::max(decimals, 7 - exponent);
    for (int d = decimals + 1; d <= most; ++d) {
        text = FormatFixed(value, 8, d);
        if (ReadsBackAs(text, value)) return text;
    }
    // 8 significant digits that still differ in the last bit of the single: drop trailing zeros.
    const size_t sep = text.find(Regional.DecimalSeparator);
    if (sep != std::string::npos && text.find('E') == std::string::npos) {
        const size_t keep = sep + 1 + static_cast<size_t>(decimals);
        while (text.size() > keep && text.back() == '0') text.pop_back();
        if (text.back() == Regional.DecimalSeparator) text.pop_back();
    }
    return text;
}

TEditFields EditFieldsOfPoint(const TAnalyte& a, int index) {
    const ControlPoint& p = a.Points[static_cast<size_t>(index)];
    TEditFields f;
    f.DateTime = p.DateTime;
    f.Operator = p.Operator.Str();
    for (int k = 0; k < a.NbLevels && k < MaxLevels; ++k) {
        const LevelValue& lv = p.Levels[static_cast<size_t>(k)];
        if (lv.State == psEmpty) continue;
        f.Values[static_cast<size_t>(k)] = FormatFixed(lv.Value, 8, a.Decimals);
        f.Exact[static_cast<size_t>(k)] = ValueTextForEdit(lv.Value, a.Decimals);
    }
    f.Comment = a.CommentText(p.CommentId);
    f.CommentMaxLength = std::max(20, static_cast<int>(f.Comment.size()));
    return f;
}

TWinShowData::TWinShowData(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinShowData"));
    setFixedSize(620, 440);

    PanelList = new QWidget(this);
    PanelList->setObjectName(QStringLiteral("PanelList"));
    PanelList->setGeometry(0, 0, 620, 380);
    auto title = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, PanelList);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    LblDate = title("LblDate", tr("Date - time"));
    for (int k = 0; k < 3; ++k)
        LblQC[static_cast<size_t>(k)] =
            title(QStringLiteral("LblQC%1").arg(k + 1).toLatin1().constData(), tr("QC%1").arg(k + 1));
    LblOperator = title("LblOperator", tr("Operator"));
    LblComment = title("LblComment", tr("Comment"));

    LB = MakeRowList(PanelList, "LB", {});
    LB->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TabDelegate(LB)->SetExtra([this](QPainter& p, const QRect& r, int row) {
        if (row >= LB->Count()) return;
        const int index = LB->Rows()->Key(row);
        if (index < 0 || index >= shown_.Count()) return;
        const ControlPoint& pt = shown_.Points[static_cast<size_t>(index)];
        for (int k = 0; k < shown_.NbLevels; ++k) {
            const QPixmap* pm = nullptr;
            switch (pt.Levels[static_cast<size_t>(k)].State) {
            case psHighWarning:
            case psLowWarning:
                pm = &YellowDot();
                break;
            case psHighAction:
            case psLowAction:
                pm = &RedDot();
                break;
            case psDiscarded:
                pm = &RedCross();
                break;
            default:
                break;
            }
            if (pm && k < static_cast<int>(levelStops_.size()))
                p.drawPixmap(r.left() + MarkLeft(k), r.top() + 2, *pm);
        }
    });
    connect(LB, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { LBDblClick(); });

    auto button = [this](QPushButton*& b, const char* name, const QString& text, int x, int y, int w) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, y, w, 26);
        b->setAutoDefault(false);
    };
    button(BtDelete, "BtDelete", tr("&Delete selection"), 10, 375, 120);
    button(BtDeleteAll, "BtDeleteAll", tr("Delete &all"), 135, 375, 90);
    button(BtEdit, "BtEdit", tr("&Edit line"), 230, 375, 90);
    button(BtUndo, "BtUndo", tr("&Undo"), 325, 375, 80);
    button(BtPrint, "BtPrint", tr("&Print"), 410, 375, 80);
    BtPrint->setToolTip(tr("Printing control charts"));
    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(10, 405, 36, 30);
    button(BtOK, "BtOK", QStringLiteral("OK"), 410, 407, 95);
    button(BtCancel, "BtCancel", tr("Cancel"), 515, 407, 95);

    connect(BtDelete, &QPushButton::clicked, this, &TWinShowData::BtDeleteClick);
    connect(BtDeleteAll, &QPushButton::clicked, this, &TWinShowData::BtDeleteAllClick);
    connect(BtEdit, &QPushButton::clicked, this, &TWinShowData::BtEditClick);
    connect(BtUndo, &QPushButton::clicked, this, &TWinShowData::FormActivate);
    connect(BtPrint, &QPushButton::clicked, this, &TWinShowData::BtPrintClick);
    connect(BtCle, &QPushButton::clicked, this, &TWinShowData::BtCleClick);
    connect(BtOK, &QPushButton::clicked, this, &TWinShowData::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TWinShowData::Execute(const TAnalyte& analyte, int selectedPoint) {
    Open(analyte, selectedPoint);
    return exec() == QDialog::Accepted;
}

void TWinShowData::Open(const TAnalyte& analyte, int selectedPoint) {
    uid_ = analyte.Uid;
    // An analyte of the list is copied by the activation.
    if (!Operations().Find(uid_)) shown_ = analyte;
    selectedPoint_ = selectedPoint;
    FormActivate();
}

TAnalyte* TWinShowData::Live() {
    if (TAnalyte* a = Operations().Find(uid_)) return a;
    ShowMessageBox(mkError, mbYes,
                   FillQ(tr("%1 was deleted or replaced on another bench meanwhile: nothing was changed. "
                            "Open the table again to see what is stored now."),
                         shown_.Name));
    return nullptr;
}

std::vector<int> TWinShowData::PendingDeletions() const {
    return FindPoints(shown_, pending_).value_or(std::vector<int>());
}

QString TWinShowData::EntryText(const TAnalyte& a, int index) {
    const ControlPoint& p = a.Points[static_cast<size_t>(index)];
    std::string line = FromQString(DateText(p.DateTime));
    if (TimePart(p.DateTime) != 0) line += " " + Regional.TimeToText(p.DateTime);
    for (int k = 0; k < a.NbLevels; ++k) {
        line += '\t';
        const LevelValue& lv = p.Levels[static_cast<size_t>(k)];
        if (lv.State != psEmpty) line += FormatFixed(lv.Value, 8, a.Decimals);
    }
    line += '\t';
    line += p.Operator.View();
    line += '\t';
    line += a.CommentText(p.CommentId);
    return ToQt(line);
}

void TWinShowData::SetLocked(bool locked) {
    for (QPushButton* b : {BtDelete, BtDeleteAll, BtUndo, BtEdit}) b->setEnabled(!locked);
    BtCle->setVisible(locked);
}

void TWinShowData::FormActivate() {
    pending_.clear();
    pointToEdit_ = -1;
    // Undo shows the points as they are stored now.
    if (const TAnalyte* live = Operations().Find(uid_); live && live != &shown_) shown_ = *live;
    const int L = shown_.NbLevels;
    // The date column holds the widest date and time, then the first level's mark; a level column its
    // value of 8 digits, then the next level's mark.
    const QFontMetrics fm(LB->font());
    int dateWidth = 0;
    for (int month = 1; month <= 12; ++month)
        dateWidth = std::max(dateWidth, fm.horizontalAdvance(DateTimeText(EncodeDate(2000, month, 28) +
                                                                          EncodeTime(20, 58, 58))));
    const int dateColumn = std::max(120, dateWidth + 4 + MarkRoom);
    const int levelColumn = std::max(60, fm.horizontalAdvance(QStringLiteral("-0000.000")) + 4 + MarkRoom);
    const int width = dateColumn + levelColumn * L + 190;
    const int left = std::max(0, (PanelList->width() - width) / 2);
    LB->setGeometry(left, 30, std::min(width, PanelList->width()), 330);
    LblDate->move(left + 10, 10);
    for (int k = 0; k < 3; ++k) {
        LblQC[static_cast<size_t>(k)]->move(left + dateColumn - 10 + levelColumn * k, 10);
        LblQC[static_cast<size_t>(k)]->setVisible(k < L);
    }
    LblOperator->move(left + width - 200, 10);
    LblComment->move(left + width - 130, 10);
    std::vector<int> stops;
    for (int k = 0; k <= L; ++k) stops.push_back(dateColumn + levelColumn * k);
    levelStops_.assign(stops.begin(), stops.end() - 1);
    stops.push_back(stops.back() + 40);
    TabDelegate(LB)->SetTabStops(stops);
    setWindowTitle(tr("QC data for ") + ToQt(shown_.Name));
    SetLocked(!Settings.Password.empty());

    // One row per point, keyed by its index; the texts are made as rows are drawn.
    LB->Rows()->Reset(shown_.Count(), [this](int index) {
        return index >= 0 && index < shown_.Count() ? EntryText(shown_, index) : QString();
    });
    LB->setFocus();
    if (selectedPoint_ >= 0 && selectedPoint_ < LB->Count())
        LB->SetCurrentRow(selectedPoint_, QItemSelectionModel::ClearAndSelect);
    else
        LB->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
}

int TWinShowData::CurrentEntry() const {
    const int row = LB->CurrentRow();
    return row >= 0 && LB->IsRowSelected(row) ? row : -1;
}

void TWinShowData::BtDeleteClick() {
    const std::vector<int> rows = LB->SelectedRows();
    for (int row : rows) pending_.push_back(KeyOfPoint(shown_, LB->Rows()->Key(row)));
    LB->Rows()->RemoveRows(rows);
    LB->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    LB->setFocus();
}

void TWinShowData::BtDeleteAllClick() {
    std::vector<int> rows(static_cast<size_t>(LB->Count()));
    std::iota(rows.begin(), rows.end(), 0);
    for (int row : rows) pending_.push_back(KeyOfPoint(shown_, LB->Rows()->Key(row)));
    LB->Rows()->RemoveRows(rows);
}

bool TWinShowData::ApplyPending() {
    // The points are found by what they hold in the analyte as it is now: a reload or another bench's
    // run since the table opened moves them, and a point no longer stored as shown is not deleted.
    // Written before the window closes; a failed write leaves every point where it was. The journal keeps
    // the reason; without one nothing is deleted.
    if (pending_.empty()) return true;
    std::string reason;
    bool applied = AskReasonText(
        FillQ(tr("Why are %n points of %1 deleted?", nullptr, static_cast<int>(pending_.size())),
              shown_.Name),
        reason);
    TAnalyte* live = applied ? Live() : nullptr;
    std::optional<std::vector<int>> places;
    if (live) places = FindPoints(*live, pending_);
    if (live && !places)
        ShowMessageBox(mkError, mbYes,
                       FillQ(tr("The points of %1 were changed meanwhile: nothing was deleted. Open the "
                                "table again to see what is stored now."),
                             shown_.Name));
    // From the last up, so that each place counts in the list as it stood at its deletion.
    applied = places && ShowOutcome(Operations().DeletePoints(
                            *live, std::vector<int>(places->rbegin(), places->rend()), reason));
    pending_.clear();
    return applied;
}

void TWinShowData::BtOKClick() {
    if (!pending_.empty() && ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                                            FromQ(tr("Irreversible deletion of %n lines ?", nullptr,
                                                     static_cast<int>(pending_.size())))) == mbOK)
        ApplyPending();
    accept();
}

void TWinShowData::BtEditClick() {
    if (LB->Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to edit.")));
        return;
    }
    const int row = CurrentEntry();
    if (row < 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Select the line to edit.")));
        return;
    }
    // The date and time are the entry's first field, whatever the length of the regional formats.
    const QString text = LB->RowText(row);
    const std::string when = ToCore(text.left(text.indexOf(QLatin1Char('\t'))));
    std::string question = FillQ(tr("Edit and validate again the control point on %1"), when);
    if (!pending_.empty())
        question =
            FillQ(tr("Irreversible deletion of %n lines.\r+ %1", nullptr, static_cast<int>(pending_.size())),
                  question);
    if (ShowMessageBox(mkConfirmation, mbOK | mbCancel, question) != mbOK) {
        LB->setFocus();
        return;
    }
    // The point is found where it stands once the deletions were applied or not (no reason given,
    // not written, or the points changed meanwhile).
    const TPointKey edited = KeyOfPoint(shown_, LB->Rows()->Key(row));
    const bool deleting = !pending_.empty();
    ApplyPending();
    pointToEdit_ = -1;
    // A missing analyte was named by the deletion already.
    if (TAnalyte* live = deleting ? Operations().Find(uid_) : Live()) {
        if (const auto place = FindPoints(*live, {edited}))
            pointToEdit_ = place->front();
        else
            ShowMessageBox(mkError, mbYes,
                           FillQ(tr("The point of %1 on %2 is no longer stored as shown: nothing is edited."),
                                 shown_.Name, when));
    }
    accept();
}

void TWinShowData::BtPrintClick() {
    if (shown_.Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return;
    }
    if (PrintHook) PrintHook(shown_, FillQ(tr("Print QC data for %1"), shown_.Name));
}

void TWinShowData::BtCleClick() {
    if (AskPassword()) SetLocked(false);
}

void TWinShowData::LBDblClick() {
    if (!BtEdit->isEnabled()) BtCleClick();
    if (BtEdit->isEnabled()) BtEditClick();
}

void TWinShowData::done(int r) {
    pending_.clear();
    // The rows read the analyte, which may change or go once the window is closed.
    LB->Rows()->Reset(0, {});
    QDialog::done(r);
}

void TWinShowData::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && BtDelete->isEnabled()) {
        BtDeleteClick();
        return;
    }
    QDialog::keyPressEvent(e);
}
