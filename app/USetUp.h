// The first-run set-up window: desktop and applications-menu launchers for the program.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

class TWinSetUp : public QDialog {
    Q_OBJECT
public:
    explicit TWinSetUp(QWidget* parent = nullptr);

    QLabel* Panel;
    QLabel* Picture;
    QCheckBox* CBShortCut;
    QCheckBox* CBStartup;
    QPushButton* BtOK;
    QPushButton* BitBtn1;

    // Where the launchers go: the user's desktop, the applications folder, the menu directory
    // entries and the merged menu files, and the user's icon theme folder for the program's icon
    // (XDG locations; tests point them at a temporary folder).
    QString DesktopFolder, ApplicationsFolder, DirectoriesFolder, MenusFolder, IconsFolder;
    // Whether the installed package's menu entry starts this program: then the menu needs no entry of
    // ours (it would stay behind, pointing at nothing, once the package is removed).
    bool InstalledMenuEntry = false;
    // Whether the program's icon is installed in a system icon theme.
    bool InstalledIcon = false;

    void BtOKClick();

protected:
    void showEvent(QShowEvent* e) override;
};

// The text of a freedesktop launcher: an application (Exec) or a document link (URL), with its icon
// (a theme icon name or an absolute path); an application given a home is started with VARNHOLT_HOME
// set to it.
std::string DesktopEntry(const QString& name, const QString& target, bool isApplication, const QString& icon,
                         const QString& home = QString());
