// TWinShowArchive: the points and statistics of one archive, and their printout.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>

#include "UArchive.h"
#include "URefPrintout.h"

class QLabel;
class QPushButton;
class TRowList;

class TWinShowArchive : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinShowArchive)
public:
    explicit TWinShowArchive(QWidget* parent = nullptr);

    // Caption, unit, point lines and summary fields of the archive of the named analyte.
    void Fill(const std::string& analyteName, TArchiveFile archive);
    // The printout BtImprimer hands to PrintHook.
    TTablePrintout Printout() const;

    void BtImprimerClick();

    // Print: PrintTablePrintout unless replaced (tests).
    TTablePrintHook PrintHook;

    TRowList* LB; // one row per point line, its text made when drawn
    QLabel* PanelControlMaterial;
    QLabel* LblLot;
    QLabel* LblDateFrom;
    QLabel* LblDateTo;
    QLabel* LblMean;
    QLabel* LblUnite;
    QLabel* LblCV;
    QLabel* LblNbre;
    QPushButton* BtImprimer;
    QPushButton* BtOK;

private:
    std::string analyteName_;
    TArchiveFile archive_;
};
