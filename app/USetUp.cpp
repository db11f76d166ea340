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
#include <algorithm>

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

// The package's application identifier: its menu entry and its icon are named after it.
const QString AppId = QStringLiteral("org.varnholt.Varnholt");

// One argument of an Exec line: in double quotes with " ` $ \ escaped (always, or only when it holds
// a reserved character); a literal % is written %%.
QString ExecArgument(const QString& arg, bool always) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString q = arg;
    q.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!always && std::none_of(arg.begin(), arg.end(), [](QChar c) { return reserved.contains(c); }))
        return q;
    for (const char* c : {"\\", "\"", "`", "$"})
        q.replace(QLatin1String(c), QLatin1String("\\") + QLatin1String(c));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// A desktop entry's string value (the Exec line after its own quoting, a path): backslashes and control
// characters escaped.
QString StringValue(const QString& text) {
    QString v = text;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    v.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    v.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return v;
}

void WriteText(const QString& path, const std::string& text, bool executable) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw EQcError(FillQ(TWinSetUp::tr("Cannot create the folder of %1"), FromQ(path)));
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

std::string DesktopEntry(const QString& name, const QString& target, bool isApplication, const QString& icon,
                         const QString& home) {
    QString text = QStringLiteral("[Desktop Entry]\nVersion=1.0\nName=%1\n").arg(name);
    if (isApplication) {
        QString command = ExecArgument(target, true);
        if (!home.isEmpty())
            command = QStringLiteral("env ") + ExecArgument(QStringLiteral("VARNHOLT_HOME=") + home, false) +
                      QLatin1Char(' ') + command;
        text += QStringLiteral("Type=Application\nExec=%1\nPath=%2\nTerminal=false\n")
                    .arg(StringValue(command), StringValue(QFileInfo(target).absolutePath()));
    } else
        text += QStringLiteral("Type=Link\nURL=%1\n").arg(QUrl::fromLocalFile(target).toString());
    // A Link takes no Categories: the menu file lists the entries by name instead.
    text += QStringLiteral("Icon=%1\n").arg(icon);
    return text.toUtf8().toStdString();
}

TWinSetUp::TWinSetUp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("WinSetUp"));
    setWindowTitle(tr("Quality control"));
    Panel = Named(new QLabel(tr("Programme setup"), this), "Panel");
    QFont bold = Panel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    Panel->setFont(bold);
    Panel->setAlignment(Qt::AlignCenter);
    Picture = Named(new QLabel(this), "Picture");
    Picture->setPixmap(ProgramPicture(160, 60));
    Picture->setAlignment(Qt::AlignCenter);
    const QString exeName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    CBShortCut = Named(new QCheckBox(tr("Create a shortcut  on the desktop for < %1 >.").arg(exeName), this),
                       "CBShortCut");
    CBStartup =
        Named(new QCheckBox(tr("Create an entry < Laboratory QC > in the start menu"), this), "CBStartup");
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BitBtn1 = Named(new QPushButton(tr("Cancel"), this), "BitBtn1");
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
    IconsFolder = data + QStringLiteral("/icons/hicolor");

    // The package's entry starts "varnholt" from the path: when that is this program, it is in the
    // menu already.
    const QString packaged = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, AppId + ".desktop");
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("varnholt"));
    InstalledMenuEntry = !packaged.isEmpty() && !onPath.isEmpty() &&
                         QFileInfo(onPath).canonicalFilePath() ==
                             QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    for (const char* icon : {"scalable/apps/%1.svg", "64x64/apps/%1.png", "48x48/apps/%1.png"})
        if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                    QStringLiteral("icons/hicolor/") + QString::fromLatin1(icon).arg(AppId))
                 .isEmpty())
            InstalledIcon = true;
}

void TWinSetUp::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CBShortCut->setChecked(true);
    CBStartup->setChecked(!InstalledMenuEntry);
    CBStartup->setEnabled(!InstalledMenuEntry);
    CBStartup->setToolTip(InstalledMenuEntry ? tr("The installed program is in the menu already")
                                             : QString());
}

void TWinSetUp::BtOKClick() {
    const QString exe = QCoreApplication::applicationFilePath();
    // Started on a folder named in VARNHOLT_HOME, the launchers start the program on that folder too.
    const QString named = qEnvironmentVariable("VARNHOLT_HOME");
    const QString home = named.isEmpty() ? QString() : QFileInfo(named).absoluteFilePath();
    try {
        // The program's icon: the installed one, else a copy in the user's icon theme.
        if ((CBShortCut->isChecked() || CBStartup->isChecked()) && !InstalledIcon) {
            if (IconsFolder.isEmpty()) throw EQcError(FromQ(tr("No icon folder")));
            const QString icon =
                IconsFolder + QStringLiteral("/64x64/apps/") + AppId + QStringLiteral(".png");
            if (!QDir().mkpath(QFileInfo(icon).absolutePath()) || !ProgramPicture(64, 64).save(icon, "PNG"))
                throw EQcError("Cannot write " + FromQ(icon));
        }
        if (CBShortCut->isChecked()) {
            if (DesktopFolder.isEmpty()) throw EQcError(FromQ(tr("No desktop folder")));
            WriteText(DesktopFolder + QStringLiteral("/Varnholt.desktop"),
                      DesktopEntry(QStringLiteral("Varnholt"), exe, true, AppId, home), true);
        }
        if (CBStartup->isChecked() && !InstalledMenuEntry) {
            if (ApplicationsFolder.isEmpty()) throw EQcError(FromQ(tr("No applications folder")));
            const QString entries[] = {QStringLiteral("varnholt-programme.desktop"),
                                       QStringLiteral("varnholt-user-manual.desktop"),
                                       QStringLiteral("varnholt-read-me.desktop")};
            // A menu folder "Laboratory QC" holding the three entries by name.
            WriteText(DirectoriesFolder + QStringLiteral("/varnholt-laboratory-qc.directory"),
                      "[Desktop Entry]\nVersion=1.0\nType=Directory\nName=Laboratory QC\nIcon=" +
                          AppId.toStdString() + "\n",
                      false);
            std::string include;
            for (const QString& entry : entries)
                include += "      <Filename>" + entry.toStdString() + "</Filename>\n";
            WriteText(MenusFolder + QStringLiteral("/varnholt-laboratory-qc.menu"),
                      "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                      " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
                      "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>Laboratory QC</Name>\n"
                      "    <Directory>varnholt-laboratory-qc.directory</Directory>\n    <Include>\n" +
                          include + "    </Include>\n  </Menu>\n</Menu>\n",
                      false);
            WriteText(ApplicationsFolder + QLatin1Char('/') + entries[0],
                      DesktopEntry(QStringLiteral("Programme Varnholt"), exe, true, AppId, home), false);
            WriteText(ApplicationsFolder + QLatin1Char('/') + entries[1],
                      DesktopEntry(QStringLiteral("User manual"), Document(QStringLiteral("UserManual.htm")),
                                   false, QStringLiteral("text-html")),
                      false);
            WriteText(ApplicationsFolder + QLatin1Char('/') + entries[2],
                      DesktopEntry(QStringLiteral("Read me"), Document(QStringLiteral("ReadMe.Txt")), false,
                                   QStringLiteral("text-x-generic")),
                      false);
        }
    } catch (const EQcError&) {
        ShowMessageBox(mkInformation, mbYes, FromQ(tr("Unable to complete setup")));
        return;
    }
    // The box says the set-up is OK: it is acknowledged with OK.
    ShowMessageBox(mkInformation, mbOK, FromQ(tr("Setup OK")));
}
