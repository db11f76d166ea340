// The display size window: the windows' scale, chosen in percent or taken from the desktop.
#include "UDisplaySize.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <map>
#include <optional>
#include <unistd.h>
#include <utility>

#include "UAtomicFile.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UUserPrompt.h"

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

// The variables PrepareDisplaySize changed, with their former values, for RestoreScalingEnvironment.
std::map<QByteArray, std::optional<QByteArray>>& SavedVariables() {
    static std::map<QByteArray, std::optional<QByteArray>> saved;
    return saved;
}

void SetVariable(const char* name, const QByteArray& value) {
    auto& saved = SavedVariables();
    if (!saved.count(name))
        saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}
// The size the restart left aside, handed from the first start to the second.
constexpr char LeftAsideVariable[] = "VARNHOLT_DISPLAY_SIZE_LEFT_ASIDE";
constexpr char StationKey[] = "display/size";
int applied = 0;
int leftAside = 0;

QSize DeviceScreen() {
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return {};
    return (QSizeF(s->geometry().size()) * s->devicePixelRatio()).toSize();
}
} // namespace

std::function<QSize()> TWinDisplaySize::ScreenSource = DeviceScreen;

QList<int> DisplaySizeChoices() {
    return {0, 100, 125, 150, 175, 200};
}

bool DisplaySizeFits(int percent, QSize screen) {
    if (percent == 0) return true;
    return screen.width() * 100 >= 800 * percent && screen.height() * 100 >= 600 * percent;
}

QList<int> DisplaySizeChoices(QSize screen) {
    QList<int> out;
    for (int percent : DisplaySizeChoices())
        if (percent <= 100 || DisplaySizeFits(percent, screen)) out << percent;
    return out;
}

QString StationSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Varnholt/station.conf");
}

std::optional<int> StationDisplaySize() {
    QSettings station(StationSettingsFile(), QSettings::IniFormat);
    bool ok = false;
    const int size = station.value(QLatin1String(StationKey)).toInt(&ok);
    if (!ok || !ValidDisplaySize(size)) return std::nullopt;
    return size;
}

bool SetStationDisplaySize(int percent, QString& why) {
    QSettings station(StationSettingsFile(), QSettings::IniFormat);
    station.setValue(QLatin1String(StationKey), percent);
    station.sync();
    if (station.status() == QSettings::NoError) return true;
    why = StationSettingsFile();
    return false;
}

TWinDisplaySize::TWinDisplaySize(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinDisplaySize"));
    setWindowTitle(tr("Display size"));
    auto* label = new QLabel(tr("&Size of the windows"), this);
    CBDisplaySize = Named(new QComboBox(this), "CBDisplaySize");
    for (int percent : DisplaySizeChoices())
        CBDisplaySize->addItem(percent == 0 ? tr("Follow the desktop") : QStringLiteral("%1 %").arg(percent),
                               percent);
    label->setBuddy(CBDisplaySize);
    LblNote = Named(new QLabel(tr("The new size is used from the next start of Varnholt."), this), "LblNote");
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    BtCancel = Named(new QPushButton(tr("Cancel"), this), "BtCancel");
    auto* row = new QHBoxLayout();
    row->addWidget(label);
    row->addWidget(CBDisplaySize, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    auto* box = new QVBoxLayout(this);
    box->addLayout(row);
    box->addWidget(LblNote);
    box->addLayout(buttons);
    connect(BtOK, &QPushButton::clicked, this, &TWinDisplaySize::BtOKClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TWinDisplaySize::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TWinDisplaySize::FormActivate() {
    // Only the sizes that leave the windows room on this screen.
    CBDisplaySize->clear();
    for (int percent : DisplaySizeChoices(ScreenSource()))
        CBDisplaySize->addItem(percent == 0 ? tr("Follow the desktop") : QStringLiteral("%1 %").arg(percent),
                               percent);
    int index = CBDisplaySize->findData(StationDisplaySize().value_or(Settings.DisplaySize));
    if (index < 0) index = CBDisplaySize->findData(100);
    CBDisplaySize->setCurrentIndex(index < 0 ? 0 : index);
}

void TWinDisplaySize::BtOKClick() {
    const int32_t size = CBDisplaySize->currentData().toInt();
    QString file;
    if (size != StationDisplaySize() && !SetStationDisplaySize(size, file)) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("The display size could not be saved in %1.").arg(file)));
        return;
    }
    accept();
}

int PrepareDisplaySize() {
    applied = 0;
    leftAside = 0;
    std::optional<int> size = StationDisplaySize();
    if (!size) {
        // A size chosen with a former version, in the folder's settings.
        size = 0;
        const std::string folder = FindProgramFolder(ExecutableFolder());
        if (!folder.empty()) try {
                size = DisplaySizeOfSettingsImage(ReadWholeFile(folder + "Varnholt.cfr"));
            } catch (const EQcError&) {
                // no settings yet: the desktop's scaling
            }
    }
    if (const QByteArray aside = qgetenv(LeftAsideVariable); !aside.isEmpty()) {
        qunsetenv(LeftAsideVariable);
        leftAside = aside.toInt();
        size = 100;
    }
    if (*size == 0) return 0;
    // The chosen size replaces the desktop's factor instead of multiplying it: the platform's scaling
    // is turned off and fonts are taken at 96 dots per inch, the layouts' own measure.
    SetVariable("QT_ENABLE_HIGHDPI_SCALING", "0");
    SetVariable("QT_SCREEN_SCALE_FACTORS", QByteArray());
    SetVariable("QT_FONT_DPI", "96");
    SetVariable("QT_SCALE_FACTOR", QByteArray::number(*size / 100.0));
    applied = *size;
    return *size;
}

void RestartIfDisplaySizeDoesNotFit(char** argv) {
    if (applied <= 100 || DisplaySizeFits(applied, DeviceScreen())) return;
    // Qt's scale is fixed once the application exists: the program starts again at 100 %.
    qputenv(LeftAsideVariable, QByteArray::number(applied));
    ::execv("/proc/self/exe", argv);
    qunsetenv(LeftAsideVariable); // could not start again: on at this size
}

int TakeDisplaySizeLeftAside() {
    return std::exchange(leftAside, 0);
}

void RestoreScalingEnvironment() {
    for (const auto& [name, value] : SavedVariables()) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
    SavedVariables().clear();
}
