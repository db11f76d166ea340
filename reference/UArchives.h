// TWinArchives: the archives of an analyte, one summary line each, to show, print or delete.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "UAnalyteHandle.h"
#include "UArchive.h"
#include "URefPrintout.h"

class QPushButton;
class TAnalyte;
class TRowList;
class TWinShowArchive;

class TWinArchives : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinArchives)
public:
    explicit TWinArchives(QWidget* parent = nullptr);

    // Shows the archives of the analyte modally. True when closed with OK: the archives deleted
    // during the visit are then gone from ArchiveNumbers and from the folder, and the caller saves.
    bool Execute(TAnalyte& analyte);
    // Sets the analyte and runs the activation (what Execute does before showing the window).
    void Open(TAnalyte& analyte);

    void FormActivate();
    void FillList();
    void BtDeleteClick();
    void BtUndoClick();
    void BtShowArchiveClick();
    void BtImprimerClick();
    void BtCleClick();
    // The printout of the list that BtImprimer hands to PrintHook.
    TTablePrintout Printout() const;

    // Numbers of the archives deleted from the list during this visit, in order of deletion.
    std::vector<int32_t> PendingDeletions() const;

    // Print: PrintTablePrintout unless replaced (tests).
    TTablePrintHook PrintHook;

    TRowList* LBArchi; // one row per archive read, keyed by its entry
    QPushButton* BtShowArchive;
    QPushButton* BtDelete;
    QPushButton* BtUndo;
    QPushButton* BtImprimer;
    QPushButton* BtCle;
    QPushButton* BtOK;
    QPushButton* BtCancel;
    TWinShowArchive* WinShowArchive;

    void done(int r) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    // An archive as listed: its number and its first three lines.
    struct TEntry {
        int32_t Number;
        TArchiveFile File;
    };
    void SetLocked(bool locked);
    // Removes the pending archives from the analyte and the folder (OK).
    void ApplyPending();

    TAnalyteHandle analyte_;
    std::vector<TEntry> entries_; // the archives read at the last fill; rows keep their indices
    std::vector<int> pending_;    // entries deleted from the list, in order of deletion
};
