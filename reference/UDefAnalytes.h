// TWinDefAnalytes: creating, renaming, re-ordering and deleting analytes on a working copy.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <array>
#include <functional>
#include <vector>

#include "UQualityGoals.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TAnalyte;

// The list box of the working copy: drags of its own entries, dropped by line index.
class TAnalyteListBox : public QListWidget {
public:
    explicit TAnalyteListBox(QWidget* parent);
    std::function<void(int targetRow)> OnDrop;

protected:
    void startDrag(Qt::DropActions) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

class TWinDefAnalytes : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinDefAnalytes)
public:
    explicit TWinDefAnalytes(QWidget* parent = nullptr);

    // Shows the window modally on the global analyte list; true when OK applied the working copy.
    bool Execute();

    // Window events (public so that the program and tests can drive them).
    void FormActivate();
    void BtAjouterClick();
    void BtCorrigerClick();
    void BtSupprimerClick();
    void BtCleClick();
    void BtClearClick();
    void BtSortClick();
    void BtUpClick();
    void BtDownClick();
    void BtMoveTopClick();
    void BtMoveBottomClick();
    void BtOKClick();
    // A line typed in the fields that the list does not hold as it stands.
    bool TypedEntryNotInList() const;
    void LBClick(int row);
    // A drop of the selected line on the line `targetRow` (-1 or past the end: below the last line).
    void LBoxDragDrop(int targetRow);

    // Quality goals of the selected line: TEa in % or in the line's unit, a target per level.
    QGroupBox* GBGoals;
    QComboBox* CBBiasFrom; // the goal's bias source
    QLineEdit* EditTEa;
    QComboBox* CBTEaKind;
    std::array<QLineEdit*, 3> EditTarget{};
    // The line's own rule set: its reject and warning rules by name, every other rule off; both empty
    // for the Westgard multirules.
    QGroupBox* GBRules;
    QLineEdit* EditRejectRules;
    QLineEdit* EditWarnRules;

    QLineEdit* EditNom;
    QSpinBox* SELevels;
    QComboBox* CBUnite;
    QSpinBox* SEDecim;
    TAnalyteListBox* LBox;
    QPushButton* BtAjouter;
    QPushButton* BtCorriger;
    QPushButton* BtClear;
    QPushButton* BtSort;
    QPushButton* BtSupprimer;
    QPushButton* BtTop;
    QPushButton* SpeedButton1;
    QPushButton* SpeedButton2;
    QPushButton* BtBottom;
    QPushButton* BtCle;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    QPushButton* BtDefaire;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    struct Fields {
        std::string name;
        int levels = 1;
        std::string unit;
        int decimals = 0;
    };
    static Fields ParseLine(const QString& line);
    // The line made from the editing fields; false (after the error box) when refused.
    bool BuildLine(int replacedIndex, QString& line);
    // The goal fields as kept with a line ({TEa, "%" or "unit", target 1..3}); false (after the error
    // box) when a figure is refused.
    bool BuildGoal(QStringList& goal);
    void SetGoalFields(const QStringList& goal);
    // The rule fields as kept with a line ({reject, warn}, the names in the program's order); false
    // (after the error box) when a name is unknown, no rule rejects or a rule both rejects and warns.
    bool BuildRules(QStringList& rules);
    void SetRulesFields(const QStringList& rules);
    // The goal a line's fields stand for, under the line's name and unit.
    static TQualityGoal GoalOfLine(const QString& line, const QStringList& goal);
    void UpdateGoalFields();
    void ResetFields();
    void SetLine(int row, const QString& line, TAnalyte* analyte);
    static TAnalyte* Attached(const QListWidgetItem* it);
    // The selected row for the move buttons, or -1 after the box that asks for one.
    int RowToMove();

    std::vector<TAnalyteId> deleted_;
};
