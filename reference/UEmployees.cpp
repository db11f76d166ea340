// TWinEmployees: the list of operator codes, edited in a grid that always ends with an empty row.
#include "UEmployees.h"

#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "URefCommon.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

using namespace refui;

namespace {
constexpr int OperatorRoom = 4;

// Cell editors of four characters; their start grows the grid and their Enter and Escape keys act
// on the window.
class TOperatorDelegate : public QStyledItemDelegate {
public:
    TOperatorDelegate(TWinEmployees* win) : QStyledItemDelegate(win->Grid), win_(win) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* e = new QLineEdit(parent);
        e->setMaxLength(OperatorRoom);
        e->setFrame(false);
        (void)option;
        win_->GridGetEditMask(index.row());
        // Installed after the view's own filter, so that it sees Enter and Escape first.
        TWinEmployees* win = win_;
        QTimer::singleShot(0, e, [e, win] { e->installEventFilter(win); });
        return e;
    }

private:
    TWinEmployees* win_;
};
} // namespace

void TOperatorModel::Reset(std::vector<QString> codes, int rows) {
    beginResetModel();
    codes_ = std::move(codes);
    if (static_cast<int>(codes_.size()) < rows) codes_.resize(static_cast<size_t>(rows));
    endResetModel();
}

void TOperatorModel::Grow(int rows) {
    const int old = rowCount();
    if (rows <= old) return;
    beginInsertRows(QModelIndex(), old, rows - 1);
    codes_.resize(static_cast<size_t>(rows));
    endInsertRows();
}

int TOperatorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(codes_.size());
}

int TOperatorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TOperatorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    if (index.column() == 0) {
        if (role == Qt::DisplayRole) return QString::number(index.row() + 1);
        if (role == Qt::BackgroundRole) return QColor(255, 255, 128);
        return QVariant();
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) return Code(index.row());
    return QVariant();
}

bool TOperatorModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole || index.row() >= rowCount())
        return false;
    codes_[static_cast<size_t>(index.row())] = value.toString();
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TOperatorModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == 0) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

TOperatorGrid::TOperatorGrid(QWidget* parent) : QTableView(parent), codes_(new TOperatorModel(this)) {
    setModel(codes_);
}

QString TOperatorGrid::CellText(int row, int column) const {
    return codes_->data(codes_->index(row, column), Qt::DisplayRole).toString();
}

void TOperatorGrid::SetCode(int row, const QString& code) {
    codes_->setData(codes_->index(row, 1), code, Qt::EditRole);
}

void TOperatorGrid::CommitEditor() {
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QModelIndex TOperatorGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveNext && action != MovePrevious) return QTableView::moveCursor(action, modifiers);
    const int row = currentIndex().row() + (action == MoveNext ? 1 : -1);
    // Beyond the first or the last code the focus leaves the grid.
    return row >= 0 && row < RowCount() ? model()->index(row, 1) : QModelIndex();
}

TWinEmployees::TWinEmployees(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinEmployees"));
    setWindowTitle(tr("List of operators"));
    setFixedSize(300, 330);

    Grid = new TOperatorGrid(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setGeometry(10, 10, 170, 270);
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->verticalHeader()->setDefaultSectionSize(15);
    Grid->setColumnWidth(0, 30);
    Grid->setColumnWidth(1, 115);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    Grid->setTabKeyNavigation(true);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setItemDelegateForColumn(1, new TOperatorDelegate(this));
    Grid->installEventFilter(this);

    auto* l1 = new QLabel(tr("Maximum length"), this);
    l1->setGeometry(190, 20, 100, 16);
    auto* l2 = new QLabel(QStringLiteral("4"), this);
    l2->setGeometry(190, 38, 100, 16);
    auto* l3 = new QLabel(QStringLiteral("characters"), this);
    l3->setGeometry(190, 56, 100, 16);

    auto button = [this](QPushButton*& b, const char* name, const QString& text, int x) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 292, 85, 27);
    };
    button(BtUndo, "BtUndo", tr("&Undo"), 10);
    button(BtOK, "BtOK", QStringLiteral("OK"), 105);
    button(BtCancel, "BtCancel", tr("Cancel"), 200);
    BtOK->setAutoDefault(false);
    BtCancel->setAutoDefault(false);
    BtUndo->setAutoDefault(false);

    BtPassword = new QPushButton(tr("Own &password"), this);
    BtPassword->setObjectName(QStringLiteral("BtPassword"));
    BtPassword->setGeometry(190, 100, 100, 27);
    BtPassword->setAutoDefault(false);
    BtPassword->setToolTip(tr("The password with which the operator of the current row signs reviews"));
    connect(BtPassword, &QPushButton::clicked, this, &TWinEmployees::BtPasswordClick);
    connect(BtOK, &QPushButton::clicked, this, &TWinEmployees::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtUndo, &QPushButton::clicked, this, &TWinEmployees::FormActivate);
}

TWinOperatorPassword::TWinOperatorPassword(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinOperatorPassword"));
    setWindowTitle(tr("Own password"));
    auto* layout = new QVBoxLayout(this);
    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditRepeat = new QLineEdit(this);
    EditRepeat->setObjectName(QStringLiteral("EditRepeat"));
    for (QLineEdit* e : {EditPassword, EditRepeat}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(64);
    }
    layout->addWidget(new QLabel(tr("New password (empty: the program's password serves)"), this));
    layout->addWidget(EditPassword);
    layout->addWidget(new QLabel(tr("Repeat it"), this));
    layout->addWidget(EditRepeat);
    auto* buttons = new QHBoxLayout;
    BtOK = new QPushButton(QStringLiteral("OK"), this);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    buttons->addStretch();
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons);
    // Two different texts are said and asked again, the window staying open.
    connect(BtOK, &QPushButton::clicked, this, [this] {
        if (EditPassword->text() == EditRepeat->text()) return accept();
        ShowMessageBox(mkError, mbOK, FromQ(tr("The two passwords differ.")));
        EditRepeat->clear();
        EditRepeat->setFocus();
    });
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TWinEmployees::BtPasswordClick() {
    Grid->CommitEditor();
    const int row = Grid->CurrentRow();
    const std::string code =
        row >= 0 && row < Grid->RowCount() ? Trim(refui::ToCore(Grid->Codes()->Code(row))) : std::string();
    if (code.empty()) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Select the operator.")));
        return;
    }
    if (!AskPassword()) return;
    TWinOperatorPassword win(this);
    win.setWindowTitle(tr("Own password of ") + refui::ToQt(code));
    if (win.exec() != QDialog::Accepted) return;
    ShowOutcome(Operations().SetOperatorPassword(code, refui::ToCore(win.EditPassword->text())), mbOK);
}

bool TWinEmployees::Execute() {
    FormActivate();
    return exec() == QDialog::Accepted;
}

void TWinEmployees::FormActivate() {
    Grid->CommitEditor();
    std::vector<QString> codes;
    for (const std::string& code : Operators) codes.push_back(ToQt(code));
    const int n = static_cast<int>(codes.size());
    Grid->Codes()->Reset(std::move(codes), n < 15 ? 16 : n + 1);
    Grid->SetCurrentCell(0, 1);
    Grid->scrollToTop();
    Grid->setFocus();
}

void TWinEmployees::GridGetEditMask(int row) {
    if (row == Grid->RowCount() - 1) Grid->Codes()->Grow(Grid->RowCount() + 1);
}

void TWinEmployees::BtOKClick() {
    Grid->CommitEditor();
    auto cell = [this](int row) {
        return row < Grid->RowCount() ? Trim(ToCore(Grid->Codes()->Code(row))) : std::string();
    };
    std::string listed;
    for (size_t i = 0; i < Operators.size(); ++i)
        if (cell(static_cast<int>(i)).empty()) listed += "   " + Operators[i] + "\r";
    if (!listed.empty() &&
        ShowMessageBox(mkConfirmation, mbOK | mbCancel, FromQ(tr("Deletion of :\r\r")) + listed) != mbOK) {
        reject();
        return;
    }
    std::vector<std::string> codes;
    for (int r = 0; r < Grid->RowCount(); ++r) {
        const std::string code = cell(r);
        if (!code.empty()) codes.push_back(code.substr(0, OperatorRoom));
    }
    // Written before the window closes; a failed write keeps the window open with nothing changed.
    if (!ShowOutcome(Operations().SetOperators(codes))) return;
    accept();
}

bool TWinEmployees::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::KeyPress && (obj == Grid || qobject_cast<QLineEdit*>(obj))) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtOKClick();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}
