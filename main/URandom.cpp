// TWinRandom: the parameters of simulated control results for the current analyte, to its charts or the
// queue.
#include "../main/URandom.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTimer>

#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "UUserPrompt.h"
#include "UUtilitaires.h"

namespace {
constexpr int WindowWidth = 420;
constexpr int DefaultColumnWidth = 90;

QString ToQt(const std::string& ansi) {
    return QString::fromStdString(Cp1252ToUtf8(ansi));
}

std::string ToCore(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

// Cell editors whose Enter and Escape keys act on the window.
class TRandomDelegate : public QStyledItemDelegate {
public:
    TRandomDelegate(TWinRandom* win) : QStyledItemDelegate(win->Grille), win_(win) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* e = QStyledItemDelegate::createEditor(parent, option, index);
        // Installed after the view's own filter, so that it sees Enter and Escape first.
        TWinRandom* win = win_;
        QTimer::singleShot(0, e, [e, win] { e->installEventFilter(win); });
        return e;
    }

private:
    TWinRandom* win_;
};

QTableWidgetItem* FixedCell(const QString& text) {
    auto* it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsEnabled);
    it->setBackground(QColor(192, 192, 192));
    return it;
}
} // namespace

TWinRandom::TWinRandom(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinRandom"));
    setFixedSize(WindowWidth, 330);

    auto label = [this](const QString& text, QRect r) {
        auto* l = new QLabel(text, this);
        l->setGeometry(r);
        return l;
    };
    QLabel* l1 = label(tr("&Number of QC points"), QRect(20, 16, 140, 18));
    EditNumber = new QLineEdit(this);
    EditNumber->setObjectName(QStringLiteral("EditNumber"));
    EditNumber->setGeometry(170, 14, 70, 22);
    l1->setBuddy(EditNumber);

    QLabel* l2 = label(tr("&First date"), QRect(20, 46, 140, 18));
    DatePicker = new TDatePicker(this);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setGeometry(170, 44, 110, 22);
    DatePicker->setCalendarPopup(true);
    l2->setBuddy(DatePicker);

    QLabel* l3 = label(tr("QC &time"), QRect(20, 76, 140, 18));
    TimePicker = new QTimeEdit(this);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    TimePicker->setGeometry(170, 74, 110, 22);
    TimePicker->setDisplayFormat(QStringLiteral("HH:mm"));
    TimePicker->setTime(QTime(9, 0));
    l3->setBuddy(TimePicker);

    QLabel* l4 = label(tr("&Distribution of data "), QRect(20, 106, 200, 18));
    Grille = new QTableWidget(3, 2, this);
    Grille->setObjectName(QStringLiteral("Grille"));
    Grille->horizontalHeader()->hide();
    Grille->verticalHeader()->hide();
    Grille->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
    Grille->verticalHeader()->setDefaultSectionSize(20);
    Grille->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grille->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every value cell keeps an open editor (FormActivate), so the first key typed after a click is
    // never lost to an editor still opening.
    Grille->setEditTriggers(QAbstractItemView::AllEditTriggers);
    Grille->setSelectionMode(QAbstractItemView::SingleSelection);
    Grille->setTabKeyNavigation(true);
    Grille->setItemDelegate(new TRandomDelegate(this));
    Grille->installEventFilter(this);
    l4->setBuddy(Grille);

    auto* box = new QGroupBox(this);
    box->setGeometry(20, 200, 380, 60);
    RBFifo = new QRadioButton(tr("Random data in &queue"), box);
    RBFifo->setObjectName(QStringLiteral("RBFifo"));
    RBFifo->setGeometry(10, 8, 200, 20);
    RBCharts = new QRadioButton(tr("Random data in &charts"), box);
    RBCharts->setObjectName(QStringLiteral("RBCharts"));
    RBCharts->setGeometry(10, 32, 200, 20);
    RBCharts->setChecked(true);

    BtOK = new QPushButton(QStringLiteral("OK"), this);
    BtOK->setObjectName(QStringLiteral("BtOK"));
    BtOK->setGeometry(220, 285, 85, 28);
    BtOK->setDefault(true);
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    BtCancel->setGeometry(315, 285, 85, 28);
    connect(BtOK, &QPushButton::clicked, this, &TWinRandom::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TWinRandom::Execute(TAnalyte& analyte) {
    analyte_ = &analyte;
    FormActivate();
    return exec() == QDialog::Accepted;
}

void TWinRandom::FormActivate() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    LastIndex = -1;
    setResult(QDialog::Rejected);
    setWindowTitle(tr("Random data generator for ") + ToQt(a.Name));
    RBCharts->setChecked(true);
    const int levels = std::clamp(a.NbLevels, 1, MaxLevels);
    const int columns = levels + 1;
    Grille->blockSignals(true);
    Grille->clearContents();
    Grille->setColumnCount(columns);
    for (int c = 0; c < columns; ++c) Grille->setColumnWidth(c, DefaultColumnWidth);
    const int width = (DefaultColumnWidth + 1) * columns + 4;
    Grille->setGeometry((WindowWidth - width) / 2, 126, width, 3 * 20 + 4);
    Grille->setItem(0, 0, FixedCell(tr("Control material")));
    Grille->setItem(1, 0, FixedCell(QStringLiteral("m (") + ToQt(a.Unit) + QStringLiteral(")")));
    Grille->setItem(2, 0, FixedCell(QStringLiteral("C.V. (%)")));
    for (int i = 0; i < levels; ++i) {
        Grille->setItem(0, i + 1,
                        FixedCell(ToQt(ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(i)]).Name)));
        Grille->setItem(1, i + 1, new QTableWidgetItem());
        Grille->setItem(2, i + 1, new QTableWidgetItem());
    }
    Grille->blockSignals(false);
    for (int i = 0; i < levels; ++i)
        for (int row = 1; row <= 2; ++row) Grille->openPersistentEditor(Grille->item(row, i + 1));
    DatePicker->setDisplayFormat(DatePickerFormat());
    DatePicker->setDate(QDate::currentDate());
    EditNumber->clear();
    Grille->setCurrentCell(1, 1);
    EditNumber->setFocus();
}

void TWinRandom::CommitGridEditor() {
    // The editors stay open: what they show is written into their cells before the cells are read.
    for (int row = 1; row < Grille->rowCount(); ++row)
        for (int column = 1; column < Grille->columnCount(); ++column)
            if (QWidget* editor = Grille->indexWidget(Grille->model()->index(row, column)))
                QMetaObject::invokeMethod(Grille, "commitData", Q_ARG(QWidget*, editor));
}

bool TWinRandom::ReadCell(int column, int row, LevelValue& out) {
    QTableWidgetItem* it = Grille->item(row, column);
    try {
        out = ReadValueText(ToCore(it ? it->text() : QString()));
        return true;
    } catch (const EConvertError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        Grille->setCurrentCell(row, column);
        Grille->setFocus();
        return false;
    }
}

void TWinRandom::BtOKClick() {
    if (!analyte_) return;
    TAnalyte& a = *analyte_;
    CommitGridEditor();
    int count = 0;
    std::string number = ToCore(EditNumber->text());
    try {
        count = CheckIntegerText(number, 1, 1000);
        EditNumber->setText(ToQt(number));
    } catch (const EConvertError& e) {
        EditNumber->selectAll();
        EditNumber->setFocus();
        ShowMessageBox(mkError, mbOK, e.what());
        return;
    }
    TLevelValues means{}, cvs{};
    bool filled = false;
    const int levels = std::clamp(a.NbLevels, 1, MaxLevels);
    for (int i = 0; i < levels; ++i) {
        const size_t li = static_cast<size_t>(i);
        if (!ReadCell(i + 1, 1, means[li]) || !ReadCell(i + 1, 2, cvs[li])) return;
        if (means[li].State != psEmpty && cvs[li].State != psEmpty) filled = true;
    }
    if (!filled) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Fill in the grid")));
        Grille->setFocus();
        return;
    }
    const QDate d = DatePicker->date();
    const QTime t = TimePicker->time();
    const TDateTime day = EncodeDate(d.year(), d.month(), d.day());
    const TDateTime first = ComposeDateTime(day, EncodeTime(t.hour(), t.minute(), t.second()));
    std::string question = FillQ(tr("Create %1 random QC points from %2"), number, ToCore(DateText(day)));
    if (RBFifo->isChecked()) {
        question += FromQ(tr("\rAdd the new random points in the fifo."));
        if (ShowMessageBox(mkConfirmation, mbOK | mbCancel, question) != mbOK) return;
    } else if (a.Count() > 0) {
        question += FromQ(tr("\rAdd the new random points to the previous ones."));
        if (ShowMessageBox(mkConfirmation, mbOK | mbCancel, question) != mbOK) return;
    }
    // Days inside a signed review need a reason, which reopens it.
    std::string reason;
    if (!RBFifo->isChecked()) {
        std::vector<TDateTime> days;
        for (int k = 0; k < count; ++k) days.push_back(first + k);
        if (!Operations().SignedReviewsAt(a, days).empty() &&
            !AskReasonText(
                FillQ(tr("Random points fall in a reviewed and signed period of %1: why are they added now?"),
                      a.Name),
                reason))
            return;
    }
    // Written before the window closes, like every other change.
    int last = -1;
    if (!ShowOutcome(
            Operations().AddRandomRuns(a, count, means, cvs, first, RBFifo->isChecked(), &last, reason)))
        return;
    if (!RBFifo->isChecked()) LastIndex = last;
    accept();
}

bool TWinRandom::GrilleKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CommitGridEditor();
        BtOKClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    return false;
}

bool TWinRandom::eventFilter(QObject* obj, QEvent* e) {
    // The grid hands its focus to the open editor of its current cell, which takes the keys.
    if (e->type() == QEvent::FocusIn && obj == Grille)
        if (QWidget* editor = Grille->indexWidget(Grille->currentIndex())) editor->setFocus();
    if (e->type() == QEvent::KeyPress && (obj == Grille || obj->parent() == Grille->viewport()))
        if (GrilleKeyPress(static_cast<QKeyEvent*>(e)->key())) return true;
    return QDialog::eventFilter(obj, e);
}
