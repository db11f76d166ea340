// TWinInboxMapping: the results from the instruments that are not mapped, the mapping of (source, test
// code, control) to (analyte, level), and each source's reading options.
#pragma once

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "UInbox.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTableWidget;

// The results waiting for a mapping, formatted only when drawn.
class TNotMappedModel : public QAbstractTableModel {
    Q_DECLARE_TR_FUNCTIONS(TNotMappedModel)
public:
    using QAbstractTableModel::QAbstractTableModel;
    void Reset(std::vector<TWaitingResult> rows);
    const TWaitingResult* At(int row) const;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<TWaitingResult> rows_;
};

class TWinInboxMapping : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinInboxMapping)
public:
    explicit TWinInboxMapping(QWidget* parent = nullptr);
    ~TWinInboxMapping() override;

    // Shows the window modally with the lists as stored now.
    void Execute();
    void FormActivate();
    // Fills the mapping fields from the selected result.
    void GridNotMappedSelect();
    void BtMapClick();
    void BtRemoveClick();
    void CBSourceChange();
    void BtSaveOptionsClick();
    // The results of the selected result's file thrown away: a supervisor's decision, with a reason.
    void BtDiscardClick();
    // The selected failed file put back into the inbox, or removed with a reason.
    void BtReadAgainClick();
    void BtRemoveFailedClick();

    QTableView* GridNotMapped;
    TNotMappedModel* NotMapped;
    QLineEdit *EditSource, *EditCode, *EditControl;
    QComboBox *CBAnalyte, *CBLevel;
    QPushButton* BtMap;
    QPushButton* BtDiscard;
    QTableWidget* GridFailed;
    QPushButton *BtReadAgain, *BtRemoveFailed;
    QTableWidget* GridMappings;
    QPushButton* BtRemove;
    QComboBox* CBSource;
    QPlainTextEdit* MemoOptions;
    QPushButton* BtSaveOptions;
    QLabel* LblStatus;
    QPushButton* BtClose;

private:
    void FillMappings();
    void FillSources();
    void FillFailed();
    std::vector<TFailedInboxFile> failed_;
};

extern TWinInboxMapping* WinInboxMapping;
