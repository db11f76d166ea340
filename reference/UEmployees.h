// TWinEmployees: the list of operator codes, edited in a grid that always ends with an empty row.
#pragma once

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialog>
#include <QTableView>
#include <vector>

class QPushButton;

// The grid's rows: the row number (read-only, on yellow) and the code typed there.
class TOperatorModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    // Replaces the rows: the codes, then empty rows up to `rows`.
    void Reset(std::vector<QString> codes, int rows);
    // Adds empty rows up to `rows`.
    void Grow(int rows);
    QString Code(int row) const { return codes_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<QString> codes_;
};

// The operators grid; the open cell editor can be committed before the grid is read.
class TOperatorGrid : public QTableView {
public:
    explicit TOperatorGrid(QWidget* parent);
    void CommitEditor();

    TOperatorModel* Codes() const { return codes_; }
    int RowCount() const { return codes_->rowCount(); }
    int CurrentRow() const { return currentIndex().row(); }
    int CurrentColumn() const { return currentIndex().column(); }
    void SetCurrentCell(int row, int column) { setCurrentIndex(codes_->index(row, column)); }
    // Column 0 the row number, column 1 the code.
    QString CellText(int row, int column) const;
    void SetCode(int row, const QString& code);

protected:
    // Tab and Shift+Tab go from code to code: the row numbers beside them take no keys.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    TOperatorModel* codes_;
};

class QLineEdit;

// The new own password of an operator, typed twice; empty removes it.
class TWinOperatorPassword : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinOperatorPassword)
public:
    explicit TWinOperatorPassword(QWidget* parent = nullptr);
    QLineEdit* EditPassword;
    QLineEdit* EditRepeat;
    QPushButton* BtOK;
    QPushButton* BtCancel;
};

class TWinEmployees : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinEmployees)
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
};
