// The per-level group boxes of the lock, fix and erase pages of the main window.
#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

// One level's group on the lock page: its limit state and the Locked / Mobile buttons.
class TGBLockedParam : public QGroupBox {
    Q_OBJECT
public:
    TGBLockedParam(QWidget* parent, int level);
    void Init(const QString& caption);
    // Shows the level's limit state in Lbl1, whole.
    void SetState(const QString& text);

    const int Level;
    QLabel* Lbl1;
    QPushButton *BtLock, *BtUnLock;
};

// One level's group on the fix page: target, warning and action deviations typed by the user.
class TGBFixedParam : public QGroupBox {
    Q_OBJECT
public:
    TGBFixedParam(QWidget* parent, int level);
    void Init(const QString& caption, const QString& unit);
    // Reads the three boxes; false when one was refused (its message has been shown and nothing
    // is to change).
    bool GetFields(long double& target, long double& warning, long double& action);

    const int Level;
    QLabel *LblTarget, *LblUnite, *LblLimits, *LblWarning, *LblAction;
    QLineEdit *EditTarget, *EditWarning, *EditAction;
    QPushButton *BtFix, *BtUnfix;
};

// One level's group on the erase page: the button that marks or unmarks the level.
class TGBArchivage : public QGroupBox {
    Q_OBJECT
public:
    TGBArchivage(QWidget* parent, int level);
    void Init(const QString& caption);

    const int Level;
    QPushButton* BtArchi;
};
