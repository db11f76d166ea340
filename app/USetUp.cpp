// The first-run set-up window: desktop and applications-menu launchers for the program.
#include "USetUp.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include "UAtomicFile.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMessages.h"
#include "UQcError.h"

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

const QString MenuCategory = QStringLiteral("X-Varnholt-Laboratory-QC");

// Quotes an Exec argument the way desktop entries require.
QString QuoteExec(const QString& path) {
    QString q = path;
    for (const char* c : {"\\", "\"", "`", "$"})
        q.replace(QLatin1String(c), QLatin1String("\\") + QLatin1String(c));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void WriteText(const QString& path, const std::string& text, bool executable) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw EQcError("Cannot create the folder of " + FromQ(path));
    AtomicWriteFile(path.toStdString(), text);
    if (executable)
        QFile::setPermissions(path,
                              QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

// The first of the candidates that exists, else the program folder's copy.
QString Document(const QString& name) {
    QString exe = ToQ(ExecutableFolder());
    for (const QString& c :
         {ToQ(ProgramFolder) + name, exe + name, exe + QStringLiteral("../share/doc/varnholt/") + name,
          exe + QStringLiteral("../docs/") + name})
        if (QFileInfo::exists(c)) return QFileInfo(c).absoluteFilePath();
    return ToQ(ProgramFolder) + name;
}
} // namespace

std::string DesktopEntry(const QString& name, const QString& target, bool isApplication,
                         const QString& category) {
    QString text = QStringLiteral("[Desktop Entry]\nVersion=1.0\nName=%1\n").arg(name);
    if (isApplication)
        text += QStringLiteral("Type=Application\nExec=%1\nPath=%2\nTerminal=false\n")
                    .arg(QuoteExec(target), QFileInfo(target).absolutePath());
    else
        text += QStringLiteral("Type=Link\nURL=%1\n").arg(QUrl::fromLocalFile(target).toString());
    if (!category.isEmpty()) text += QStringLiteral("Categories=%1;\n").arg(category);
    return text.toUtf8().toStdString();
}

TWinSetUp::TWinSetUp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("WinSetUp"));
    setWindowTitle(QStringLiteral("Quality control"));
    Panel = Named(new QLabel(QStringLiteral("Programme setup"), this), "Panel");
    QFont bold = Panel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    Panel->setFont(bold);
    Panel->setAlignment(Qt::AlignCenter);
    Picture = Named(new QLabel(this), "Picture");
    Picture->setPixmap(ProgramPicture(160, 60));
    Picture->setAlignment(Qt::AlignCenter);
    CBShortCut =
        Named(new QCheckBox(QStringLiteral("Create a shortcut  on the desktop for < Kestrune.exe >."), this),
              "CBShortCut");
    CBStartup =
        Named(new QCheckBox(QStringLiteral("Create an entry < Laboratory QC > in the start menu"), this),
              "CBStartup");
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BitBtn1 = Named(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn1");
    auto* box = new QVBoxLayout(this);
    box->addWidget(Panel);
    box->addWidget(Picture);
    box->addWidget(CBShortCut);
    box->addWidget(CBStartup);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BitBtn1);
    box->addLayout(buttons);
    connect(BtOK, &QPushButton::clicked, this, [this] {
        BtOKClick();
        accept();
    });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    DesktopFolder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ApplicationsFolder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    DirectoriesFolder = data + QStringLiteral("/desktop-directories");
    MenusFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/menus/applications-merged");
}

void TWinSetUp::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CBShortCut->setChecked(true);
    CBStartup->setChecked(true);
}

void TWinSetUp::BtOKClick() {
    const QString exe = QCoreApplication::applicationFilePath();
    try {
        if (CBShortCut->isChecked()) {
            if (DesktopFolder.isEmpty()) throw EQcError("No desktop folder");
            WriteText(DesktopFolder + QStringLiteral("/Varnholt.desktop"),
                      DesktopEntry(QStringLiteral("Varnholt"), exe, true), true);
        }
        if (CBStartup->isChecked()) {
            if (ApplicationsFolder.isEmpty()) throw EQcError("No applications folder");
            // A menu folder "Laboratory QC" gathering the entries of one category.
            WriteText(DirectoriesFolder + QStringLiteral("/varnholt-laboratory-qc.directory"),
                      "[Desktop Entry]\nVersion=1.0\nType=Directory\nName=Laboratory QC\n", false);
            WriteText(MenusFolder + QStringLiteral("/varnholt-laboratory-qc.menu"),
                      "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                      " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
                      "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>Laboratory QC</Name>\n"
                      "    <Directory>varnholt-laboratory-qc.directory</Directory>\n"
                      "    <Include><Category>" +
                          MenuCategory.toStdString() + "</Category></Include>\n  </Menu>\n</Menu>\n",
                      false);
            WriteText(ApplicationsFolder + QStringLiteral("/varnholt-programme.desktop"),
                      DesktopEntry(QStringLiteral("Programme Varnholt"), exe, true, MenuCategory), false);
            WriteText(ApplicationsFolder + QStringLiteral("/varnholt-user-manual.desktop"),
                      DesktopEntry(QStringLiteral("User manual"), Document(QStringLiteral("UserManual.htm")),
                                   false, MenuCategory),
                      false);
            WriteText(ApplicationsFolder + QStringLiteral("/varnholt-read-me.desktop"),
                      DesktopEntry(QStringLiteral("Read me"), Document(QStringLiteral("ReadMe.Txt")), false,
                                   MenuCategory),
                      false);
        }
    } catch (const EQcError&) {
        ShowMessageBox(mkInformation, mbYes, "Unable to complete setup");
        return;
    }
    ShowMessageBox(mkInformation, mbYes, "Setup OK");
}
