// Lists of many rows: a model whose row texts are made only when a row is drawn or read, and its view.
#include "URowList.h"

#include <algorithm>
#include <numeric>

void TRowModel::Reset(int rows, TText text) {
    std::vector<int> keys(static_cast<size_t>(std::max(rows, 0)));
    std::iota(keys.begin(), keys.end(), 0);
    Reset(std::move(keys), std::move(text));
}

void TRowModel::Reset(std::vector<int> keys, TText text) {
    beginResetModel();
    keys_ = std::move(keys);
    text_ = std::move(text);
    endResetModel();
}

void TRowModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    // From the last: each run of adjacent rows leaves in one step, and the rows above keep their numbers.
    for (size_t end = rows.size(); end > 0;) {
        size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1) --begin;
        const int first = rows[begin], last = rows[end - 1];
        beginRemoveRows(QModelIndex(), first, last);
        keys_.erase(keys_.begin() + first, keys_.begin() + last + 1);
        endRemoveRows();
        end = begin;
    }
}

int TRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TRowModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count() || !text_) return QVariant();
    return text_(Key(index.row()));
}

TRowList::TRowList(QWidget* parent, const char* name) : QListView(parent), rows_(new TRowModel(this)) {
    setObjectName(QLatin1String(name));
    setModel(rows_);
    // Rows of one height: the view lays out any number of them without asking each for its size.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QString TRowList::RowText(int row) const {
    return rows_->data(rows_->index(row), Qt::DisplayRole).toString();
}

int TRowList::CurrentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void TRowList::SetCurrentRow(int row, QItemSelectionModel::SelectionFlags flags) {
    selectionModel()->setCurrentIndex(rows_->index(row), flags);
}

bool TRowList::IsRowSelected(int row) const {
    return selectionModel()->isSelected(rows_->index(row));
}

void TRowList::SetRowSelected(int row, bool selected) {
    selectionModel()->select(rows_->index(row),
                             selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

std::vector<int> TRowList::SelectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        for (int row = r.top(); row <= r.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
