// TWinRandom: the parameters of simulated control results for the current analyte, to its charts or the
// queue.
#pragma once

#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeEdit>

#include "../core/model/URandom.h"
#include "UAnalyteHandle.h"

class TWinRandom : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinRandom)
public:
    explicit TWinRandom(QWidget* parent = nullptr);

    // Shows the window modally for the analyte; true when points were added to it or runs queued.
    bool Execute(TAnalyte& analyte);

    void FormActivate();
    void BtOKClick();
    // Enter in the grid runs BtOKClick, Escape closes the window.
    bool GrilleKeyPress(int key);

    bool QueueChosen() const { return RBFifo->isChecked(); }
    // Index of the last point added to the analyte, -1 when none.
    int LastIndex = -1;

    QLineEdit* EditNumber;
    QDateEdit* DatePicker;
    QTimeEdit* TimePicker;
    QTableWidget* Grille;
    QRadioButton* RBFifo;
    QRadioButton* RBCharts;
    QPushButton* BtOK;
    QPushButton* BtCancel;

    void SetAnalyte(TAnalyte& analyte) { analyte_ = &analyte; }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void CommitGridEditor();
    // Reads a cell as a QC value; false after the error box, the cell made current.
    bool ReadCell(int column, int row, LevelValue& out);

    TAnalyteHandle analyte_;
};
