// TWinSerumByAnal: the control material (name and lot) of each QC level of the current analyte.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "UAnalyteHandle.h"

class QFrame;
class QLabel;
class QPushButton;
class TAnalyte;
class TArrowButton;

// The register as a drag source: a material is dragged onto a level with the program's cursors.
class TSerumDragList : public QListWidget {
public:
    explicit TSerumDragList(QWidget* parent);

protected:
    void startDrag(Qt::DropActions) override;
};

// The paint box of a level: the material's name and lot; accepts any drop.
class TLevelBox : public QWidget {
public:
    explicit TLevelBox(QWidget* parent);
    QString name, lot;
    std::function<void()> OnDrop;

protected:
    void paintEvent(QPaintEvent*) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

class TWinSerumByAnal : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinSerumByAnal)
public:
    explicit TWinSerumByAnal(QWidget* parent = nullptr);

    // Shows the window modally for the analyte; true when it closed with OK.
    bool Execute(TAnalyte& analyte);
    // Sets the analyte and runs the activation (what Execute does before showing the window).
    void Open(TAnalyte& analyte);

    void InitForm();
    // Assigns the selected material to the level (0-based): arrow button, drop, Alt+1..3.
    void AssignLevel(int level);
    void BtChangeClick();
    void BtEraseClick();
    void BtUndoClick();
    void BtCleClick();

    // The working assignment of a level and whether it differs from the stored one.
    int32_t Working(int level) const { return working_[static_cast<size_t>(level)]; }
    bool Differs(int level) const;

    TSerumDragList* LBSerum;
    QLabel* Panel9;
    std::array<TArrowButton*, 3> LevelButtons{};
    std::array<QFrame*, 3> LevelPanels{};
    std::array<TLevelBox*, 3> LevelBoxes{};
    QPushButton* BitBtn1;
    QPushButton* BtErase;
    QPushButton* BtUndo;
    QPushButton* Cancel;
    QPushButton* BtCle;

private:
    void ShowLevel(int level);

    TAnalyteHandle analyte_;
    std::array<int32_t, 3> working_{-1, -1, -1};
};
