// TWinDefAnalytes: creating, renaming, re-ordering and deleting analytes on a working copy.
#include "UDefAnalytes.h"

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDragMoveEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "URefCommon.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

using namespace refui;

namespace {
const char* const LineMime = "application/x-varnholt-analyte-line";
// The goal fields kept with a line of the working copy.
constexpr int GoalRole = AttachRole + 1;
// The rule set fields kept with a line.
constexpr int RulesRole = AttachRole + 2;
const QString PercentKind = QStringLiteral("%");
const QString UnitKind = QStringLiteral("unit");

QString Number(const std::optional<long double>& v) {
    // Enough digits to give back what was typed, with the regional decimal mark.
    return v ? ToQt(FormatFixed(*v, 15, 15)).remove(QRegularExpression(QStringLiteral("[.,]?0+$")))
             : QString();
}

QStringList RulesFields(const TQcRuleSet& set) {
    return {ToQt(QcRulesText(set.Reject)), ToQt(QcRulesText(set.Warn))};
}

// The set the rule fields stand for; empty fields give none.
TQcRuleSet RuleSetOfFields(const QStringList& f) {
    if (f.size() < 2 || (f[0].trimmed().isEmpty() && f[1].trimmed().isEmpty())) return {};
    return MakeQcRuleSet("", ToCore(f[0]), ToCore(f[1]));
}

QStringList GoalFields(const TQualityGoal& g) {
    QStringList f = {Number(g.TEa), g.TEaKind == teaUnit ? UnitKind : PercentKind};
    for (const auto& t : g.Target) f << Number(t);
    f << QString::fromLatin1(BiasFromName(g.BiasFrom));
    return f;
}

// Names and units are stored in tab-separated lines and exchange texts: a tab would split them.
std::string CleanField(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        if (c < QChar(32)) c = QChar(' ');
    return Trim(ToCore(t));
}
} // namespace

TAnalyteListBox::TAnalyteListBox(QWidget* parent) : QListWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void TAnalyteListBox::startDrag(Qt::DropActions) {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(LineMime), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

void TAnalyteListBox::dragEnterEvent(QDragEnterEvent* e) {
    e->acceptProposedAction();
}

void TAnalyteListBox::dragMoveEvent(QDragMoveEvent* e) {
    e->acceptProposedAction();
}

void TAnalyteListBox::dropEvent(QDropEvent* e) {
    e->acceptProposedAction();
    if (OnDrop) OnDrop(row(itemAt(e->position().toPoint())));
}

TWinDefAnalytes::TWinDefAnalytes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinDefAnalytes"));
    setWindowTitle(tr("Definition of analytes"));
    setFixedSize(600, 604);

    auto label = [this](const QString& text, int x, int y, int w = 140) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, y, w, 16);
        return l;
    };
    auto button = [this](QPushButton*& b, const char* name, const QString& text, int x, int y, int w, int h) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, y, w, h);
    };

    // Column titles over the list's tab stops.
    label(tr("Name"), 12, 8, 60);
    label(tr("Levels"), 126, 8, 40);
    label(tr("Unit"), 170, 8, 40);
    label(tr("Decimals"), 216, 8, 60);
    LBox = new TAnalyteListBox(this);
    LBox->setObjectName(QStringLiteral("LBox"));
    auto* d = new TTabListDelegate(LBox);
    d->SetTabStops({125, 155, 210, 250});
    LBox->setItemDelegate(d);
    LBox->setUniformItemSizes(true);
    LBox->setSelectionMode(QAbstractItemView::SingleSelection);
    LBox->setGeometry(10, 26, 300, 518);
    LBox->OnDrop = [this](int target) { LBoxDragDrop(target); };
    LBox->installEventFilter(this);

    const int ex = 325;
    label(tr("Name"), ex, 8, 60);
    EditNom = new QLineEdit(this);
    EditNom->setObjectName(QStringLiteral("EditNom"));
    EditNom->setMaxLength(15);
    EditNom->setGeometry(ex, 26, 130, 22);
    label(tr("(15 characters max)"), ex + 135, 29, 130);
    label(tr("Levels"), ex, 52, 60);
    SELevels = new QSpinBox(this);
    SELevels->setObjectName(QStringLiteral("SELevels"));
    SELevels->setRange(1, 3);
    SELevels->setGeometry(ex, 70, 50, 22);
    label(tr("(1 to 3)"), ex + 55, 73, 80);
    label(tr("Unit"), ex, 96, 60);
    CBUnite = new QComboBox(this);
    CBUnite->setObjectName(QStringLiteral("CBUnite"));
    CBUnite->setEditable(true);
    CBUnite->addItems({QStringLiteral("mmol/L"), QStringLiteral("µmol/L"), QStringLiteral("nmol/L"),
                       QStringLiteral("g/L"), QStringLiteral("mg/L"), QString::fromUtf8("µg/L"),
                       QStringLiteral("ng/L"), QStringLiteral("U/L"), QStringLiteral("mULl"),
                       QString::fromUtf8("µU/L"), QStringLiteral("%")});
    CBUnite->lineEdit()->setMaxLength(6);
    CBUnite->setInsertPolicy(QComboBox::NoInsert);
    CBUnite->setGeometry(ex, 114, 90, 22);
    label(tr("(6 chararcters max)"), ex + 95, 117, 130);
    label(tr("Decimals"), ex, 140, 60);
    SEDecim = new QSpinBox(this);
    SEDecim->setObjectName(QStringLiteral("SEDecim"));
    SEDecim->setRange(0, 3);
    SEDecim->setGeometry(ex, 158, 50, 22);
    label(tr("(0 to 3)"), ex + 55, 161, 80);

    button(BtAjouter, "BtAjouter", tr("&Add to list"), ex, 190, 125, 25);
    button(BtCorriger, "BtCorriger", tr("&Replace in list"), ex + 135, 190, 125, 25);
    button(BtClear, "BtClear", tr("Reset &fields"), ex, 220, 125, 25);
    button(BtSupprimer, "BtSupprimer", tr("&Delete analyte"), ex + 135, 220, 125, 25);
    button(BtSort, "BtSort", tr("&Sort analytes by names"), ex, 250, 260, 25);
    label(tr("Sort Analytes"), ex, 282, 120);
    button(BtTop, "BtTop", tr("T&op"), ex, 300, 62, 25);
    button(SpeedButton1, "SpeedButton1", tr("U&p"), ex + 66, 300, 62, 25);
    button(SpeedButton2, "SpeedButton2", tr("Do&wn"), ex + 132, 300, 62, 25);
    button(BtBottom, "BtBottom", tr("&Bottom"), ex + 198, 300, 62, 25);
    GBGoals = new QGroupBox(tr("Quality goals"), this);
    GBGoals->setObjectName(QStringLiteral("GBGoals"));
    GBGoals->setGeometry(ex, 332, 260, 138);
    auto* tea = new QLabel(tr("&TEa"), GBGoals);
    tea->setGeometry(10, 22, 110, 16);
    EditTEa = new QLineEdit(GBGoals);
    EditTEa->setObjectName(QStringLiteral("EditTEa"));
    EditTEa->setGeometry(125, 20, 60, 22);
    tea->setBuddy(EditTEa);
    CBTEaKind = new QComboBox(GBGoals);
    CBTEaKind->setObjectName(QStringLiteral("CBTEaKind"));
    CBTEaKind->setGeometry(190, 20, 62, 22);
    CBTEaKind->addItem(PercentKind, PercentKind);
    CBTEaKind->addItem(QString(), UnitKind);
    for (int k = 0; k < 3; ++k) {
        auto* l = new QLabel(tr("Target level %1").arg(k + 1), GBGoals);
        l->setGeometry(10, 46 + 22 * k, 110, 16);
        EditTarget[static_cast<size_t>(k)] = new QLineEdit(GBGoals);
        EditTarget[static_cast<size_t>(k)]->setObjectName(QStringLiteral("EditTarget%1").arg(k + 1));
        EditTarget[static_cast<size_t>(k)]->setGeometry(125, 44 + 22 * k, 127, 22);
    }
    auto* biasFrom = new QLabel(tr("B&ias from"), GBGoals);
    biasFrom->setGeometry(10, 112, 110, 16);
    CBBiasFrom = new QComboBox(GBGoals);
    CBBiasFrom->setObjectName(QStringLiteral("CBBiasFrom"));
    CBBiasFrom->setGeometry(125, 110, 127, 22);
    for (TBiasFrom b : {biasTarget, biasPeer, biasEqa})
        CBBiasFrom->addItem(CoreTextQ(BiasFromText(b)), QString::fromLatin1(BiasFromName(b)));
    biasFrom->setBuddy(CBBiasFrom);
    // Peer and EQA data live in a folder's database: on the server the bias is the target's.
    if (!Operations().KeepsAssessment()) {
        CBBiasFrom->setEnabled(false);
        CBBiasFrom->setToolTip(tr("On the server the bias is taken from the target; peer and EQA data are "
                                  "kept in a folder's database"));
    }
    GBRules = new QGroupBox(tr("Rules (empty: Westgard multirules)"), this);
    GBRules->setObjectName(QStringLiteral("GBRules"));
    GBRules->setGeometry(ex, 474, 260, 78);
    std::string known;
    for (int r = 0; r < QcRuleCount; ++r) known += (r ? " " : "") + std::string(QcRuleName(QcRule(r)));
    GBRules->setToolTip(
        ToQ(FillQ(tr("Rule names separated by commas; a rule in neither field is off: %1"), known)));
    auto ruleField = [this](QLineEdit*& edit, const char* name, const QString& text, int y) {
        auto* l = new QLabel(text, GBRules);
        l->setGeometry(10, y + 2, 110, 16);
        edit = new QLineEdit(GBRules);
        edit->setObjectName(QLatin1String(name));
        edit->setGeometry(125, y, 127, 22);
        l->setBuddy(edit);
    };
    ruleField(EditRejectRules, "EditRejectRules", tr("Re&ject"), 20);
    ruleField(EditWarnRules, "EditWarnRules", tr("Warnin&g"), 46);
    // The unit choice names the unit typed above; targets only for the levels in use.
    connect(CBUnite, &QComboBox::editTextChanged, this, &TWinDefAnalytes::UpdateGoalFields);
    connect(SELevels, &QSpinBox::valueChanged, this, &TWinDefAnalytes::UpdateGoalFields);

    BtCle = MakeKeyButton(this);
    BtCle->setGeometry(10, 559, 36, 30);
    button(BtDefaire, "BtDefaire", tr("&Undo"), 280, 562, 90, 27);
    button(BtOK, "BtOK", QStringLiteral("OK"), 390, 562, 90, 27);
    button(BtCancel, "BtCancel", tr("Cancel"), 495, 562, 90, 27);
    BtOK->setDefault(true);

    connect(BtAjouter, &QPushButton::clicked, this, &TWinDefAnalytes::BtAjouterClick);
    connect(BtCorriger, &QPushButton::clicked, this, &TWinDefAnalytes::BtCorrigerClick);
    connect(BtClear, &QPushButton::clicked, this, &TWinDefAnalytes::BtClearClick);
    connect(BtSupprimer, &QPushButton::clicked, this, &TWinDefAnalytes::BtSupprimerClick);
    connect(BtSort, &QPushButton::clicked, this, &TWinDefAnalytes::BtSortClick);
    connect(BtTop, &QPushButton::clicked, this, &TWinDefAnalytes::BtMoveTopClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &TWinDefAnalytes::BtUpClick);
    connect(SpeedButton2, &QPushButton::clicked, this, &TWinDefAnalytes::BtDownClick);
    connect(BtBottom, &QPushButton::clicked, this, &TWinDefAnalytes::BtMoveBottomClick);
    connect(BtCle, &QPushButton::clicked, this, &TWinDefAnalytes::BtCleClick);
    connect(BtDefaire, &QPushButton::clicked, this, &TWinDefAnalytes::FormActivate);
    connect(BtOK, &QPushButton::clicked, this, &TWinDefAnalytes::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(LBox, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) { LBClick(LBox->row(it)); });
    connect(LBox, &QListWidget::currentRowChanged, this, &TWinDefAnalytes::LBClick);
}

bool TWinDefAnalytes::Execute() {
    FormActivate();
    return exec() == QDialog::Accepted;
}

TAnalyte* TWinDefAnalytes::Attached(const QListWidgetItem* it) {
    const TAnalyteId uid = it ? it->data(AttachRole).value<qulonglong>() : 0;
    return uid ? Operations().Find(uid) : nullptr;
}

void TWinDefAnalytes::SetLine(int row, const QString& line, TAnalyte* analyte) {
    QListWidgetItem* it = LBox->item(row);
    it->setText(line);
    // By its handle: the line never points at an analyte the list no longer holds.
    it->setData(AttachRole, QVariant::fromValue(qulonglong(analyte ? analyte->Uid : 0)));
}

TWinDefAnalytes::Fields TWinDefAnalytes::ParseLine(const QString& text) {
    const std::string line = ToCore(text);
    Fields f;
    size_t tab1 = line.find('\t');
    f.name = line.substr(0, tab1);
    if (tab1 == std::string::npos) return f;
    if (tab1 + 1 < line.size()) f.levels = line[tab1 + 1] - '0';
    size_t unitStart = tab1 + 3;
    size_t tab3 = line.find('\t', unitStart);
    if (unitStart <= line.size()) f.unit = line.substr(unitStart, tab3 - unitStart);
    if (tab3 != std::string::npos && tab3 + 1 < line.size()) f.decimals = line[tab3 + 1] - '0';
    return f;
}

void TWinDefAnalytes::FormActivate() {
    const bool locked = !Settings.Password.empty();
    BtSupprimer->setEnabled(!locked);
    BtCle->setVisible(locked);
    deleted_.clear();
    LBox->clear();
    for (const auto& a : ListAnalytes.Items) {
        QString line = ToQt(a->Name) + '\t' + QString::number(a->NbLevels) + '\t' + ToQt(a->Unit) + '\t' +
                       QString::number(a->Decimals);
        LBox->addItem(line);
        SetLine(LBox->count() - 1, line, a.get());
        LBox->item(LBox->count() - 1)->setData(GoalRole, GoalFields(Operations().Goal(a->Name)));
        LBox->item(LBox->count() - 1)->setData(RulesRole, RulesFields(Operations().RuleSet(a->Name)));
    }
    ResetFields();
    EditNom->setFocus();
}

void TWinDefAnalytes::ResetFields() {
    EditNom->clear();
    CBUnite->setEditText(QStringLiteral("mmol/l"));
    SEDecim->setValue(0);
    SELevels->setValue(3);
    SetGoalFields({});
    SetRulesFields({});
}

void TWinDefAnalytes::SetRulesFields(const QStringList& rules) {
    EditRejectRules->setText(rules.value(0));
    EditWarnRules->setText(rules.value(1));
}

bool TWinDefAnalytes::BuildRules(QStringList& rules) {
    const QStringList f = {EditRejectRules->text(), EditWarnRules->text()};
    try {
        rules = RulesFields(RuleSetOfFields(f));
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        EditRejectRules->setFocus();
        return false;
    }
}

void TWinDefAnalytes::SetGoalFields(const QStringList& goal) {
    EditTEa->setText(goal.value(0));
    CBTEaKind->setCurrentIndex(goal.value(1) == UnitKind ? 1 : 0);
    for (int k = 0; k < 3; ++k) EditTarget[static_cast<size_t>(k)]->setText(goal.value(2 + k));
    const int bias = CBBiasFrom->findData(goal.value(5));
    CBBiasFrom->setCurrentIndex(bias < 0 ? 0 : bias);
    UpdateGoalFields();
}

void TWinDefAnalytes::UpdateGoalFields() {
    const QString unit = CBUnite->currentText().trimmed();
    CBTEaKind->setItemText(1, unit.isEmpty() ? tr("(unit)") : unit);
    for (int k = 0; k < 3; ++k) EditTarget[static_cast<size_t>(k)]->setEnabled(k < SELevels->value());
}

bool TWinDefAnalytes::BuildGoal(QStringList& goal) {
    QStringList f = {EditTEa->text().trimmed(), CBTEaKind->currentData().toString()};
    for (int k = 0; k < 3; ++k)
        f << (k < SELevels->value() ? EditTarget[static_cast<size_t>(k)]->text().trimmed() : QString());
    f << CBBiasFrom->currentData().toString();
    std::string error;
    const bool unit = f[1] == UnitKind;
    if (unit && !f[0].isEmpty() && CleanField(CBUnite->currentText()).empty())
        error = FromQ(tr("A TEa in the unit needs a unit"));
    else if (!f[0].isEmpty() || !f[2].isEmpty() || !f[3].isEmpty() || !f[4].isEmpty())
        try {
            // The fields read as a line of a goal file: TEa above zero, no target of zero.
            const TQualityGoal g =
                ParseGoalLine("x;" + ToCore(f[0].isEmpty() ? QStringLiteral("1") : f[0]) + ";" +
                              ToCore(f[2]) + ";" + ToCore(f[3]) + ";" + ToCore(f[4]));
            if (g.TEaKind == teaUnit)
                error = FromQ(tr("Type the TEa as a number and choose % or the unit beside it"));
        } catch (const EQcError& e) {
            error = e.what();
        }
    if (!error.empty()) {
        ShowMessageBox(mkError, mbOK, error);
        EditTEa->setFocus();
        return false;
    }
    goal = f;
    return true;
}

TQualityGoal TWinDefAnalytes::GoalOfLine(const QString& line, const QStringList& f) {
    const Fields l = ParseLine(line);
    TQualityGoal g;
    g.Analyte = l.name;
    g.BiasFrom = BiasFromOfName(ToCore(f.value(5))).value_or(biasTarget);
    if (f.size() < 5) return g;
    const TQualityGoal read = ParseGoalLine("x;" + ToCore(f[0].isEmpty() ? QStringLiteral("1") : f[0]) + ";" +
                                            ToCore(f[2]) + ";" + ToCore(f[3]) + ";" + ToCore(f[4]));
    // As the database keeps them (double), so that an unchanged goal compares equal to the kept one.
    auto kept = [](const std::optional<long double>& v) {
        return v ? std::optional<long double>(static_cast<double>(*v)) : std::nullopt;
    };
    if (!f[0].isEmpty()) {
        g.TEa = kept(read.TEa);
        if (f[1] == UnitKind) {
            g.TEaKind = teaUnit;
            g.TEaUnit = l.unit;
        }
    }
    for (int k = 0; k < std::min(l.levels, MaxLevels); ++k)
        g.Target[static_cast<size_t>(k)] = kept(read.Target[static_cast<size_t>(k)]);
    return g;
}

bool TWinDefAnalytes::BuildLine(int replacedIndex, QString& line) {
    const std::string name = CleanField(EditNom->text());
    std::string error;
    if (name.empty()) {
        error = FromQ(tr("Missing name"));
    } else {
        const std::string key = UpperCase(name);
        for (int i = 0; i < LBox->count() && error.empty(); ++i)
            if (i != replacedIndex && UpperCase(ParseLine(LBox->item(i)->text()).name) == key)
                error = FromQ(tr("Duplicate names"));
    }
    if (!error.empty()) {
        ShowMessageBox(mkError, mbOK, error);
        EditNom->setFocus();
        return false;
    }
    line = ToQt(name) + '\t' + QString::number(SELevels->value()) + '\t' +
           ToQt(CleanField(CBUnite->currentText())) + '\t' + QString::number(SEDecim->value());
    return true;
}

void TWinDefAnalytes::BtAjouterClick() {
    QString line;
    QStringList goal, rules;
    if (BuildLine(-1, line) && BuildGoal(goal) && BuildRules(rules)) {
        LBox->addItem(line);
        SetLine(LBox->count() - 1, line, nullptr);
        LBox->item(LBox->count() - 1)->setData(GoalRole, goal);
        LBox->item(LBox->count() - 1)->setData(RulesRole, rules);
        LBox->setCurrentRow(LBox->count() - 1);
        ResetFields();
    }
    EditNom->setFocus();
}

void TWinDefAnalytes::BtCorrigerClick() {
    const int row = SelectedRow(LBox);
    if (row < 0) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Select the analyte to replace")));
        return;
    }
    QString line;
    QStringList goal, rules;
    if (!BuildLine(row, line) || !BuildGoal(goal) || !BuildRules(rules)) return;
    TAnalyte* a = Attached(LBox->item(row));
    if (!a) {
        SetLine(row, line, nullptr);
        LBox->item(row)->setData(GoalRole, goal);
        LBox->item(row)->setData(RulesRole, rules);
    } else {
        const int oldLevels = a->NbLevels, newLevels = SELevels->value();
        auto holds = [a](int level) { return LevelHoldsPoints(*a, level - 1); };
        const std::string head = FillQ(tr("You want to reduce the number of QC levels for %1\r"), a->Name);
        if (oldLevels - newLevels == 1 && holds(oldLevels)) {
            ShowMessageBox(mkError, mbYes,
                           head +
                               FillQ(tr("Cannot suppress QC level %1.\rYou must first erase/archive data."),
                                     std::to_string(oldLevels)));
        } else if (oldLevels - newLevels == 2 && (holds(oldLevels) || holds(oldLevels - 1))) {
            ShowMessageBox(
                mkError, mbYes,
                head + FromQ(tr("Cannot suppress QC3 and QC2 levels.\rYou must first erase/archive data.")));
        } else {
            // New levels start without a material; the analyte keeps this even on Cancel.
            for (int l = oldLevels + 1; l <= newLevels; ++l) a->MaterialId[static_cast<size_t>(l - 1)] = -1;
            SetLine(row, line, a);
            LBox->item(row)->setData(GoalRole, goal);
            LBox->item(row)->setData(RulesRole, rules);
        }
    }
    ResetFields();
    EditNom->setFocus();
}

void TWinDefAnalytes::BtSupprimerClick() {
    const int row = SelectedRow(LBox);
    if (row < 0) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Select the analyte to delete")));
    } else {
        const std::string name = ParseLine(LBox->item(row)->text()).name;
        if (ShowMessageBox(
                mkConfirmation, mbOK | mbCancel,
                FillQ(tr("Warning, you are about to clear all archived data and \rcurrent control points for "
                         "%1\rConfirm analyte deletion :"),
                      UpperCase(name))) == mbOK) {
            if (TAnalyte* a = Attached(LBox->item(row))) deleted_.push_back(a->Uid);
            delete LBox->takeItem(row);
            ResetFields();
        }
    }
    LBox->setFocus();
}

void TWinDefAnalytes::BtCleClick() {
    if (AskPassword()) {
        BtSupprimer->setEnabled(true);
        BtCle->hide();
    }
}

void TWinDefAnalytes::LBClick(int row) {
    if (row < 0 || row >= LBox->count()) return;
    const Fields f = ParseLine(LBox->item(row)->text());
    EditNom->setText(ToQt(f.name));
    CBUnite->setEditText(ToQt(f.unit));
    SEDecim->setValue(f.decimals);
    SELevels->setValue(f.levels);
    SetGoalFields(LBox->item(row)->data(GoalRole).toStringList());
    SetRulesFields(LBox->item(row)->data(RulesRole).toStringList());
}

void TWinDefAnalytes::BtClearClick() {
    ResetFields();
    EditNom->setFocus();
}

void TWinDefAnalytes::BtSortClick() {
    const int n = LBox->count();
    if (n < 2) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LBox->setUpdatesEnabled(false);
    auto key = [this](int i) { return UpperCase(ParseLine(LBox->item(i)->text()).name); };
    for (int j = n - 1; j >= 1; --j)
        for (int i = 0; i <= j - 1; ++i)
            if (key(j) < key(i)) {
                QListWidgetItem* itJ = LBox->item(j);
                QListWidgetItem* itI = LBox->item(i);
                const QString textJ = itJ->text();
                TAnalyte* aJ = Attached(itJ);
                const QVariant goalJ = itJ->data(GoalRole), rulesJ = itJ->data(RulesRole);
                SetLine(j, itI->text(), Attached(itI));
                itJ->setData(GoalRole, itI->data(GoalRole));
                itJ->setData(RulesRole, itI->data(RulesRole));
                SetLine(i, textJ, aJ);
                itI->setData(GoalRole, goalJ);
                itI->setData(RulesRole, rulesJ);
            }
    LBox->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

int TWinDefAnalytes::RowToMove() {
    const int row = SelectedRow(LBox);
    if (row < 0 || LBox->count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Select the analyte to move")));
        LBox->setFocus();
        return -1;
    }
    return row;
}

void TWinDefAnalytes::LBoxDragDrop(int target) {
    const int source = SelectedRow(LBox);
    if (source < 0) return;
    if (target < 0 || target >= LBox->count()) target = LBox->count() - 1;
    if (target == source) return;
    QListWidgetItem* it = LBox->takeItem(source);
    LBox->insertItem(target, it);
    LBox->setCurrentRow(target);
}

void TWinDefAnalytes::BtUpClick() {
    const int row = RowToMove();
    if (row > 0) LBoxDragDrop(row - 1);
    LBox->setFocus();
}

void TWinDefAnalytes::BtDownClick() {
    const int row = RowToMove();
    if (row >= 0 && row < LBox->count() - 1) LBoxDragDrop(row + 1);
    LBox->setFocus();
}

void TWinDefAnalytes::BtMoveTopClick() {
    const int row = RowToMove();
    if (row > 0) LBoxDragDrop(0);
    LBox->setFocus();
}

void TWinDefAnalytes::BtMoveBottomClick() {
    const int row = RowToMove();
    if (row >= 0 && row < LBox->count() - 1) LBoxDragDrop(LBox->count() - 1);
    LBox->setFocus();
}

bool TWinDefAnalytes::TypedEntryNotInList() const {
    const std::string name = CleanField(EditNom->text());
    if (name.empty()) return false;
    const QString line = ToQt(name) + '\t' + QString::number(SELevels->value()) + '\t' +
                         ToQt(CleanField(CBUnite->currentText())) + '\t' + QString::number(SEDecim->value());
    for (int i = 0; i < LBox->count(); ++i)
        if (LBox->item(i)->text() == line) return false;
    return true;
}

void TWinDefAnalytes::BtOKClick() {
    // Enter presses OK: an analyte typed but not added is never dropped unasked.
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
    // The list is rebuilt in the lines' order; analytes leave it only when deleted, and their archive
    // files go only once the data file no longer names them.
    TAnalyteEdit edit;
    for (int i = 0; i < LBox->count(); ++i) {
        const Fields f = ParseLine(LBox->item(i)->text());
        const TAnalyte* attached = Attached(LBox->item(i));
        edit.Lines.push_back({attached ? attached->Uid : 0, f.name, f.unit, f.decimals, f.levels});
    }
    edit.Deleted = deleted_;
    if (!ShowOutcome(Operations().ApplyAnalyteEdit(edit))) return;
    deleted_.clear();
    // The goals, under the names the edit gave (a renamed analyte's goal came along with it); only
    // those that differ from what is kept are written.
    std::vector<TQualityGoal> goals;
    for (int i = 0; i < LBox->count(); ++i) {
        TQualityGoal g = GoalOfLine(LBox->item(i)->text(), LBox->item(i)->data(GoalRole).toStringList());
        TQualityGoal kept = Operations().Goal(g.Analyte);
        kept.Analyte = g.Analyte;
        // Measured when the goal is read, never stored.
        g.MeasuredBiasPct = kept.MeasuredBiasPct;
        if (!(kept == g)) goals.push_back(g);
    }
    // The analytes are saved whatever comes of this; the box says what could not be kept.
    if (!goals.empty()) ShowOutcome(Operations().SetGoals(goals), mbOK);
    // The rule sets the same way, each change journaled.
    for (int i = 0; i < LBox->count(); ++i) {
        const std::string name = ParseLine(LBox->item(i)->text()).name;
        TQcRuleSet set;
        try {
            set = RuleSetOfFields(LBox->item(i)->data(RulesRole).toStringList());
        } catch (const EQcError&) {
            continue; // refused when the line was made
        }
        const TQcRuleSet kept = Operations().RuleSet(name);
        if (kept.Reject == set.Reject && kept.Warn == set.Warn) continue;
        if (!ShowOutcome(Operations().SetRuleSet(name, set), mbOK)) break;
    }
    accept();
}

bool TWinDefAnalytes::eventFilter(QObject* obj, QEvent* e) {
    if (obj == LBox && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete &&
        BtSupprimer->isEnabled()) {
        BtSupprimerClick();
        return true;
    }
    return QDialog::eventFilter(obj, e);
}
