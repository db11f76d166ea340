// TWinCorrectiveActions: the list of corrective actions offered when a rule rejects a run, one a line.
#pragma once

#include <QCoreApplication>
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TWinCorrectiveActions : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinCorrectiveActions)
public:
    explicit TWinCorrectiveActions(QWidget* parent = nullptr);
    // True when OK saved a changed list.
    bool Execute();
    void BtOKClick();

    QPlainTextEdit* EditActions;
    QPushButton* BtOK;
    QPushButton* BtCancel;
};
