// TWinShowJournal: the journal of changes, filtered by analyte, kind, operator and dates; printed,
// exported as CSV and checked.
#pragma once

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "UJournal.h"
#include "UJournalPages.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class TDatePicker;
class TPrintCanvas;

// The entries a filter keeps as table rows, read a page at a time and formatted only when drawn.
class TJournalModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetFilter(const TJournalFilter& filter);
    int64_t Count() const { return pages_.Count(); }
    // Every entry shown (export, printing), read with a progress bar and Cancel when there are many.
    std::vector<TJournalEntry> Entries(QWidget* progressParent = nullptr) const;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    TJournalPages pages_;
};

// Prints entries as a table; the header lines say what was chosen and whether the chain is whole.
void PrintJournal(TPrintCanvas& canvas, const std::vector<TJournalEntry>& entries,
                  const std::vector<std::string>& headerLines);

class TWinShowJournal : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinShowJournal)
public:
    explicit TWinShowJournal(QWidget* parent = nullptr);
    void Execute();
    // Fills the lists of the filters from the journal and shows the entries chosen.
    void FormActivate();
    void ApplyFilter();
    TJournalFilter Filter() const;
    void BtVerifyClick();
    void BtExportClick();
    void BtPrintClick();

    QComboBox* CBAnalyte;
    QComboBox* CBKind;
    QComboBox* CBOperator;
    QCheckBox* CBFrom;
    QCheckBox* CBTo;
    TDatePicker* DateFrom;
    TDatePicker* DateTo;
    QTableView* Table;
    QLabel* LblCount;
    QPushButton* BtVerify;
    QPushButton* BtExport;
    QPushButton* BtPrint;
    QPushButton* BtClose;
    TJournalModel* Model;

private:
    bool filling_ = false;
};
