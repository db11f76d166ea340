// Lists of many rows: a model whose row texts are made only when a row is drawn or read, and its view.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <vector>

// One row per key (what the row shows: a point, an archive, a line); the text of a row is made from
// its key when asked for, so that a list of any length fills at once.
class TRowModel : public QAbstractListModel {
public:
    using TText = std::function<QString(int key)>;
    explicit TRowModel(QObject* parent) : QAbstractListModel(parent) {}

    // Replaces every row: keys 0 to rows - 1, or the given keys, with the texts `text` makes.
    void Reset(int rows, TText text);
    void Reset(std::vector<int> keys, TText text);
    // Removes rows (any order, no repeats); the others keep their keys.
    void RemoveRows(std::vector<int> rows);
    int Key(int row) const { return keys_[static_cast<size_t>(row)]; }
    int Count() const { return static_cast<int>(keys_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // Asked once per row when the view lays the rows out: answered without the base's virtual checks.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override {
        return row >= 0 && column == 0 && !parent.isValid() && row < Count() ? createIndex(row, 0)
                                                                             : QModelIndex();
    }
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<int> keys_;
    TText text_;
};

// A list view over its own TRowModel, with rows of one height, read and selected by row number.
class TRowList : public QListView {
public:
    TRowList(QWidget* parent, const char* name);

    TRowModel* Rows() const { return rows_; }
    int Count() const { return rows_->Count(); }
    QString RowText(int row) const;
    // The current row, -1 for none.
    int CurrentRow() const;
    void SetCurrentRow(int row,
                       QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect);
    bool IsRowSelected(int row) const;
    void SetRowSelected(int row, bool selected);
    // Selected rows in ascending order.
    std::vector<int> SelectedRows() const;

private:
    TRowModel* rows_;
};
