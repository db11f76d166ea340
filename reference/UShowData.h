// TWinShowData: the QC data table of an analyte, with deletion of points and taking one out to edit.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "UPointKey.h"
#include "UTypes.h"

class QLabel;
class QPushButton;
class QWidget;
class TRowList;

// ---- Moving an edited point back into the main window's entry fields (texts are Windows-1252).

// What the entry fields show for a point taken out to be validated again.
struct TEditFields {
    TDateTime DateTime = 0;
    std::string Operator;
    // One text per level slot, with the analyte's decimals: empty for a psEmpty level and for slots
    // beyond the analyte's levels.
    std::array<std::string, MaxLevels> Values;
    // The same values written so that they read back as stored (ValueTextForEdit): what is validated
    // again while a field still shows its text of Values.
    std::array<std::string, MaxLevels> Exact;
    std::string Comment;
    // The comment box's length limit: its usual 20 characters, or the whole stored comment.
    int CommentMaxLength = 20;
};

// The value with the analyte's decimals, or with more (up to 8 significant digits) when fewer would
// read back as a different stored value: validating the point again must not change it.
std::string ValueTextForEdit(float value, int decimals);
// The entry fields of point `index` of the analyte; the caller then deletes the point.
TEditFields EditFieldsOfPoint(const TAnalyte& a, int index);

// ---- The window.

class TWinShowData : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinShowData)
public:
    explicit TWinShowData(QWidget* parent = nullptr);

    // Shows the table of the analyte modally with `selectedPoint` (-1 for none) current. True when
    // closed with OK: pending deletions are then applied, and PointToEdit() tells the point to edit.
    // The table shows a copy of the analyte; the deletions and the point to edit are found in the
    // list's analyte of the same handle when they are applied, by what the points hold.
    bool Execute(const TAnalyte& analyte, int selectedPoint);
    // Sets the analyte and runs the activation (what Execute does before showing the window).
    void Open(const TAnalyte& analyte, int selectedPoint);

    // After OK: index in the analyte (deletions applied) of the point to move back into the entry
    // fields and delete, or -1 for none.
    int PointToEdit() const { return pointToEdit_; }
    // The handle of the analyte shown.
    TAnalyteId Analyte() const { return uid_; }

    // Print: called with the analyte and the print window's caption when the analyte has points.
    std::function<void(TAnalyte&, const std::string& caption)> PrintHook;

    void FormActivate();
    void BtDeleteClick();
    void BtDeleteAllClick();
    void BtOKClick();
    void BtEditClick();
    void BtPrintClick();
    void BtCleClick();
    void LBDblClick();

    // Line text of a point (date-time, values of the levels in use, operator, comment).
    static QString EntryText(const TAnalyte& a, int index);
    // The places in the table as it was opened of the points marked for deletion, ascending.
    std::vector<int> PendingDeletions() const;
    // Left edge, within a row, of the state mark of a level (0-based).
    int MarkLeft(int level) const { return levelStops_.at(static_cast<size_t>(level)) - MarkRoom; }
    static constexpr int MarkRoom = 15;

    TRowList* LB; // one row per point, its text made when drawn
    QWidget* PanelList;
    QLabel* LblDate;
    std::array<QLabel*, 3> LblQC{};
    QLabel* LblOperator;
    QLabel* LblComment;
    QPushButton* BtDelete;
    QPushButton* BtDeleteAll;
    QPushButton* BtEdit;
    QPushButton* BtUndo;
    QPushButton* BtPrint;
    QPushButton* BtCle;
    QPushButton* BtOK;
    QPushButton* BtCancel;

    void done(int r) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    // True when the pending deletions were written (none pending: nothing asked, true).
    bool ApplyPending();
    // The current entry when it is also selected, else -1.
    int CurrentEntry() const;
    void SetLocked(bool locked);

    // The list's analyte of the shown one's handle; when it is gone, says so and gives nullptr.
    TAnalyte* Live();

    TAnalyteId uid_ = 0;
    TAnalyte shown_;
    int selectedPoint_ = -1;
    std::vector<TPointKey> pending_;
    int pointToEdit_ = -1;
    // The tab stops of the levels' columns; each state mark is drawn just before its column.
    std::vector<int> levelStops_;
};
