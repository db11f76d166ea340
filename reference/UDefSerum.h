// TWinDefSerum: the register of control materials and lots, edited on a working copy.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
struct TSerum;

class TWinDefSerum : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinDefSerum)
public:
    explicit TWinDefSerum(QWidget* parent = nullptr);

    // Shows the window modally on the global control-material list; true when closed with OK.
    bool Execute();

    void FormActivate();
    void BtAjouterClick();
    void BtReplaceClick();
    void BtEraseClick();
    void BtClearClick();
    void BtSupprimerClick();
    void BtUsedInClick();
    void BtCleClick();
    void BtOKClick();
    // A name typed in the fields that no line of the list holds (with its lot).
    bool TypedEntryNotInList() const;
    void LBSerumClick(int row);

    QLineEdit* EditNom;
    QLineEdit* EditLot;
    QListWidget* LBSerum;
    QPushButton* BtAjouter;
    QPushButton* BtReplace;
    QPushButton* BtErase;
    QPushButton* BtClear;
    QPushButton* BtSupprimer;
    QPushButton* BtUsedIn;
    QPushButton* BtCle;
    QPushButton* BtOK;
    QPushButton* BitBtn1;
    QPushButton* BtDefaire;

    void done(int r) override;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    // Name and lot of a line.
    static void ParseLine(const QString& line, std::string& name, std::string& lot);
    bool BuildLine(QString& line);
    // The selected line and the edited definition that is to replace it; false, having said why,
    // without them.
    bool LineToChange(int& row, QString& line);
    // The selected line replaced by the edited definition, kept sorted, and the fields emptied.
    void PutChangedLine(int row, const QString& line, int32_t id);
    // Inserts the line at its sorted place with the record id (-1 for none); returns its row.
    int InsertSorted(const QString& line, int32_t id);
    static int32_t AttachedId(const QListWidget* list, int row);
    static TSerum* Record(int32_t id);
    void Apply();

    std::vector<int32_t> deleted_;
};
