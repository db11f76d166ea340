// TWinDefSerum: the register of control materials and lots, edited on a working copy.
#include "UDefSerum.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "URefCommon.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

using namespace refui;

namespace {
std::string CleanField(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        if (c < QChar(32)) c = QChar(' ');
    return Trim(ToCore(t));
}
} // namespace

TWinDefSerum::TWinDefSerum(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinDefSerum"));
    setWindowTitle(tr("Definition of control materials"));
    setFixedSize(600, 400);

    auto label = [this](const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, y, w, 16);
    };
    auto button = [this](QPushButton*& b, const char* name, const QString& text, int x, int y, int w) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, y, w, 26);
    };

    label(tr("List of registered control materials"), 10, 8, 260);
    LBSerum = MakeTabList(this, "LBSerum", {130});
    LBSerum->setGeometry(10, 26, 260, 320);
    LBSerum->installEventFilter(this);
    TabDelegate(LBSerum)->SetExtra([this](QPainter& p, const QRect& r, int row) {
        const TSerum* s = Record(AttachedId(LBSerum, row));
        if (!s || s->EraseMark != 1) return;
        // After the lot (at most 10 characters), not over it.
        const int lotEnd = r.left() + 130 + p.fontMetrics().horizontalAdvance(ToQt(s->Lot));
        const int x = std::min(lotEnd + 6, r.right() - RedCross().width());
        p.drawPixmap(x, r.top() + 2, RedCross());
    });

    const int ex = 290;
    label(tr("Name"), ex, 8, 60);
    EditNom = new QLineEdit(this);
    EditNom->setObjectName(QStringLiteral("EditNom"));
    EditNom->setMaxLength(15);
    EditNom->setGeometry(ex, 26, 130, 22);
    label(tr("(15 characters max)"), ex + 135, 29, 150);
    label(tr("Lot"), ex, 54, 60);
    EditLot = new QLineEdit(this);
    EditLot->setObjectName(QStringLiteral("EditLot"));
    EditLot->setMaxLength(10);
    EditLot->setGeometry(ex, 72, 100, 22);
    label(tr("(10 characters max)"), ex + 135, 75, 150);

    button(BtAjouter, "BtAjouter", tr("&Add to list"), ex, 110, 290);
    button(BtReplace, "BtReplace", tr("&Change only the definition of materials"), ex, 140, 290);
    button(BtErase, "BtErase", tr("Change and &erase former data"), ex, 170, 290);
    button(BtClear, "BtClear", tr("&Clear fields"), ex, 200, 140);
    button(BtSupprimer, "BtSupprimer", tr("&Delete material"), ex + 150, 200, 140);
    button(BtUsedIn, "BtUsedIn", tr("&Material used by"), ex, 230, 140);
    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(ex + 250, 168, 40, 30);
    button(BtDefaire, "BtDefaire", tr("&Undo"), 280, 360, 90);
    button(BtOK, "BtOK", QStringLiteral("OK"), 390, 360, 90);
    button(BitBtn1, "BitBtn1", tr("Cancel"), 495, 360, 90);
    BtOK->setDefault(true);

    connect(BtAjouter, &QPushButton::clicked, this, &TWinDefSerum::BtAjouterClick);
    connect(BtReplace, &QPushButton::clicked, this, &TWinDefSerum::BtReplaceClick);
    connect(BtErase, &QPushButton::clicked, this, &TWinDefSerum::BtEraseClick);
    connect(BtClear, &QPushButton::clicked, this, &TWinDefSerum::BtClearClick);
    connect(BtSupprimer, &QPushButton::clicked, this, &TWinDefSerum::BtSupprimerClick);
    connect(BtUsedIn, &QPushButton::clicked, this, &TWinDefSerum::BtUsedInClick);
    connect(BtCle, &QPushButton::clicked, this, &TWinDefSerum::BtCleClick);
    connect(BtDefaire, &QPushButton::clicked, this, &TWinDefSerum::FormActivate);
    connect(BtOK, &QPushButton::clicked, this, &TWinDefSerum::BtOKClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(LBSerum, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* it) { LBSerumClick(LBSerum->row(it)); });
    connect(LBSerum, &QListWidget::currentRowChanged, this, &TWinDefSerum::LBSerumClick);
}

bool TWinDefSerum::Execute() {
    FormActivate();
    return exec() == QDialog::Accepted;
}

int32_t TWinDefSerum::AttachedId(const QListWidget* list, int row) {
    const QListWidgetItem* it = list->item(row);
    return it ? it->data(AttachRole).toInt() : -1;
}

TSerum* TWinDefSerum::Record(int32_t id) {
    if (id < 0) return nullptr;
    for (TSerum& s : ListSerum.Items)
        if (s.Id == id) return &s;
    return nullptr;
}

void TWinDefSerum::ParseLine(const QString& text, std::string& name, std::string& lot) {
    const std::string line = ToCore(text);
    const size_t tab = line.find('\t');
    name = line.substr(0, tab).substr(0, TListSerum::NameRoom);
    lot = tab == std::string::npos ? std::string() : line.substr(tab + 1).substr(0, TListSerum::LotRoom);
}

int TWinDefSerum::InsertSorted(const QString& line, int32_t id) {
    int row = 0;
    while (row < LBSerum->count() &&
           QString::compare(LBSerum->item(row)->text(), line, Qt::CaseInsensitive) <= 0)
        ++row;
    auto* it = new QListWidgetItem(line);
    it->setData(AttachRole, id);
    LBSerum->insertItem(row, it);
    return row;
}

void TWinDefSerum::FormActivate() {
    const bool locked = !Settings.Password.empty();
    BtErase->setEnabled(!locked);
    BtCle->setVisible(locked);
    deleted_.clear();
    LBSerum->clear();
    for (TSerum& s : ListSerum.Items) {
        s.EraseMark = 0;
        InsertSorted(ToQt(s.Name) + '\t' + ToQt(s.Lot), s.Id);
    }
    LBSerum->setCurrentRow(-1);
    LBSerum->clearSelection();
    EditNom->clear();
    EditLot->clear();
    EditNom->setFocus();
}

bool TWinDefSerum::BuildLine(QString& line) {
    const std::string name = CleanField(EditNom->text());
    std::string error;
    if (name.empty()) {
        error = FromQ(tr("Missing name"));
    } else {
        line = ToQt(name) + '\t' + ToQt(CleanField(EditLot->text()));
        for (int i = 0; i < LBSerum->count() && error.empty(); ++i)
            if (QString::compare(LBSerum->item(i)->text(), line, Qt::CaseInsensitive) == 0)
                error = FromQ(tr("Duplicates"));
    }
    if (error.empty()) return true;
    ShowMessageBox(mkError, mbOK, error);
    return false;
}

void TWinDefSerum::BtAjouterClick() {
    QString line;
    if (BuildLine(line)) {
        LBSerum->setCurrentRow(InsertSorted(line, -1));
        EditNom->clear();
        EditLot->clear();
    }
    EditNom->setFocus();
}

bool TWinDefSerum::LineToChange(int& row, QString& line) {
    row = SelectedRow(LBSerum);
    if (row < 0) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Select the line to replace")));
        return false;
    }
    return BuildLine(line);
}

void TWinDefSerum::PutChangedLine(int row, const QString& line, int32_t id) {
    delete LBSerum->takeItem(row);
    LBSerum->setCurrentRow(InsertSorted(line, id));
    EditNom->clear();
    EditLot->clear();
    LBSerum->setFocus();
}

void TWinDefSerum::BtReplaceClick() {
    int row;
    QString line;
    if (!LineToChange(row, line)) return;
    const int32_t id = AttachedId(LBSerum, row);
    if (TSerum* s = Record(id)) s->EraseMark = 0;
    PutChangedLine(row, line, id);
}

void TWinDefSerum::BtEraseClick() {
    int row;
    QString line;
    if (!LineToChange(row, line)) return;
    const int32_t id = AttachedId(LBSerum, row);
    TSerum* s = Record(id);
    if (!s) return;
    if (ListAnalytes.AnalytesUsingMaterial(id).empty()) {
        ShowMessageBox(
            mkWarning, mbOK,
            FillQ(tr("The old control material %1 (%2) is not used for any analyte.\rNo data to erase. "
                     "Press the button <Replace in list>."),
                  s->Name, s->Lot));
        return;
    }
    s->EraseMark = 1;
    PutChangedLine(row, line, id);
}

void TWinDefSerum::BtClearClick() {
    EditNom->clear();
    EditLot->clear();
    EditNom->setFocus();
}

void TWinDefSerum::BtSupprimerClick() {
    const int row = SelectedRow(LBSerum);
    if (row < 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Select the control material to delete")));
        LBSerum->setFocus();
        return;
    }
    std::string name, lot;
    ParseLine(LBSerum->item(row)->text(), name, lot);
    const int32_t id = AttachedId(LBSerum, row);
    const std::vector<TAnalyte*> users =
        id >= 0 ? ListAnalytes.AnalytesUsingMaterial(id) : std::vector<TAnalyte*>();
    if (!users.empty()) {
        std::string text =
            FillQ(tr("Impossible to delete %1 (%2).\rThis control material is used by : \r"), name, lot) +
            "- " + users.front()->Name;
        for (size_t i = 1; i < users.size(); ++i) text += "\r- " + users[i]->Name;
        ShowMessageBox(mkError, mbYes, text);
    } else if (ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                              FillQ(tr("Delete the control material %1 (%2)."), name, lot)) == mbOK) {
        delete LBSerum->takeItem(row);
        EditNom->clear();
        EditLot->clear();
        LBSerum->setCurrentRow(-1);
        LBSerum->clearSelection();
        if (id >= 0) deleted_.push_back(id);
    }
    LBSerum->setFocus();
}

void TWinDefSerum::BtUsedInClick() {
    const int row = SelectedRow(LBSerum);
    if (row < 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Select one control material")));
        return;
    }
    const int32_t id = AttachedId(LBSerum, row);
    if (id < 0) return;
    std::string name, lot;
    ParseLine(LBSerum->item(row)->text(), name, lot);
    std::string text = FillQ(tr("Analytes controled by %1 (%2) : "), name, lot);
    for (TAnalyte* a : ListAnalytes.AnalytesUsingMaterial(id)) text += "\r   - " + a->Name;
    ShowMessageBox(mkInformation, mbYes, text);
}

void TWinDefSerum::BtCleClick() {
    if (AskPassword()) {
        BtErase->setEnabled(true);
        BtCle->hide();
    }
}

void TWinDefSerum::LBSerumClick(int row) {
    if (row < 0 || row >= LBSerum->count()) return;
    std::string name, lot;
    ParseLine(LBSerum->item(row)->text(), name, lot);
    EditNom->setText(ToQt(name));
    EditLot->setText(ToQt(lot));
}

bool TWinDefSerum::TypedEntryNotInList() const {
    const std::string name = CleanField(EditNom->text());
    if (name.empty()) return false;
    const QString line = ToQt(name) + '\t' + ToQt(CleanField(EditLot->text()));
    for (int i = 0; i < LBSerum->count(); ++i)
        if (QString::compare(LBSerum->item(i)->text(), line, Qt::CaseInsensitive) == 0) return false;
    return true;
}

void TWinDefSerum::BtOKClick() {
    // Enter presses OK: a material typed but not added is never dropped unasked.
    if (TypedEntryNotInList()) {
        const TMsgButton answer =
            ShowMessageBox(mkConfirmation, mbYes | mbNo | mbCancel,
                           FillQ(tr("%1 is typed in the fields but not in the list.\rAdd it to the list "
                                    "before closing ?"),
                                 CleanField(EditNom->text())));
        if (answer == mbYes) BtAjouterClick();
        if (answer == mbCancel || (answer == mbYes && !EditNom->text().isEmpty())) {
            EditNom->setFocus();
            return;
        }
    }
    Apply();
    accept();
}

void TWinDefSerum::Apply() {
    TMaterialEdit edit;
    edit.Deleted = deleted_;
    for (int row = 0; row < LBSerum->count(); ++row) {
        TMaterialEdit::TLine line;
        ParseLine(LBSerum->item(row)->text(), line.Name, line.Lot);
        line.Id = AttachedId(LBSerum, row);
        const TSerum* s = Record(line.Id);
        if (s && s->EraseMark == 1) {
            // A new lot replacing the old one: the old lot's data is erased and archived first, once the
            // user agrees; otherwise the record keeps its name and lot.
            const std::vector<TAnalyte*> users = ListAnalytes.AnalytesUsingMaterial(line.Id);
            bool confirmed = false;
            if (!users.empty()) {
                std::string text =
                    FillQ(tr("Delete data and archive statistics of %1 (%2) in the analyte(s) :\r"), s->Name,
                          s->Lot) +
                    " - " + users.front()->Name;
                for (size_t i = 1; i < users.size(); ++i) text += "\r - " + users[i]->Name;
                confirmed = ShowMessageBox(mkConfirmation, mbOK | mbCancel, text) == mbOK;
            }
            if (!confirmed) {
                line.Name = s->Name;
                line.Lot = s->Lot;
            }
            line.EraseConfirmed = confirmed;
        }
        edit.Lines.push_back(std::move(line));
    }
    // Archives first, then the data file that names them, before the window closes. Changing and erasing
    // needs a reason for the journal; without one the lines keep their former name and lot.
    std::string reason;
    const bool erases = std::any_of(edit.Lines.begin(), edit.Lines.end(),
                                    [](const TMaterialEdit::TLine& l) { return l.EraseConfirmed; });
    if (erases &&
        !AskReasonText(FromQ(tr("Why are the control materials changed and their data erased?")), reason))
        for (TMaterialEdit::TLine& line : edit.Lines)
            if (line.EraseConfirmed) {
                const TSerum& s = ListSerum.FindMaterial(line.Id);
                line.Name = s.Name;
                line.Lot = s.Lot;
                line.EraseConfirmed = false;
            }
    ShowOutcome(Operations().ApplyMaterials(edit, reason));
}

void TWinDefSerum::done(int r) {
    deleted_.clear();
    // The erase mark means something only inside this window.
    for (TSerum& s : ListSerum.Items) s.EraseMark = 0;
    QDialog::done(r);
}

bool TWinDefSerum::eventFilter(QObject* obj, QEvent* e) {
    if (obj == LBSerum && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        BtSupprimerClick();
        return true;
    }
    return QDialog::eventFilter(obj, e);
}
