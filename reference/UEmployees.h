// TWinEmployees: the list of operator codes, edited in a grid that always ends with an empty row.
#pragma once

#include <QDialog>
#include <QTableWidget>

class QPushButton;

// The operators grid; the open cell editor can be committed before the grid is read.
class TOperatorGrid : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    void CommitEditor();

protected:
    // Tab and Shift+Tab go from code to code: the row numbers beside them take no keys.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

class QLineEdit;

// The new own password of an operator, typed twice; empty removes it.
class TWinOperatorPassword : public QDialog {
public:
    explicit TWinOperatorPassword(QWidget* parent = nullptr);
    QLineEdit* EditPassword;
    QLineEdit* EditRepeat;
    QPushButton* BtOK;
    QPushButton* BtCancel;
};

class TWinEmployees : public QDialog {
public:
    explicit TWinEmployees(QWidget* parent = nullptr);

    // Shows the window modally on Operators; true when OK rewrote the list. The caller then reloads
    // its operator choices and writes the settings file.
    bool Execute();

    void FormActivate();
    // Called whenever a cell editor starts: typing in the last row appends an empty row.
    void GridGetEditMask(int row);
    void BtOKClick();
    // Sets or removes the own password of the operator of the current row (protected by the program's
    // password); the program password serves operators without one.
    void BtPasswordClick();

    TOperatorGrid* Grid;
    QPushButton* BtPassword;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    QPushButton* BtUndo;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void SetRowCount(int rows);
};
