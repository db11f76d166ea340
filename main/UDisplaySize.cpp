// The display size window: the windows' scale, chosen in percent or taken from the desktop.
#include "UDisplaySize.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <map>
#include <optional>

#include "UAtomicFile.h"
#include "UGlobale.h"
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
} // namespace

QList<int> DisplaySizeChoices() {
    return {0, 100, 125, 150, 175, 200};
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
    const int index = CBDisplaySize->findData(Settings.DisplaySize);
    CBDisplaySize->setCurrentIndex(index < 0 ? 0 : index);
}

void TWinDisplaySize::BtOKClick() {
    const int32_t size = CBDisplaySize->currentData().toInt();
    if (size != Settings.DisplaySize &&
        !ShowOutcome(Operations().ChangeSettings([size](TSettings& s) { s.DisplaySize = size; })))
        return;
    accept();
}

int PrepareDisplaySize() {
    const std::string folder = FindProgramFolder(ExecutableFolder());
    if (folder.empty()) return 0;
    int32_t size = 0;
    try {
        size = DisplaySizeOfSettingsImage(ReadWholeFile(folder + "Varnholt.cfr"));
    } catch (const EQcError&) {
        return 0; // no settings yet: the desktop's scaling
    }
    if (size == 0) return 0;
    // The chosen size replaces the desktop's factor instead of multiplying it: the platform's scaling
    // is turned off and fonts are taken at 96 dots per inch, the layouts' own measure.
    SetVariable("QT_ENABLE_HIGHDPI_SCALING", "0");
    SetVariable("QT_SCREEN_SCALE_FACTORS", QByteArray());
    SetVariable("QT_FONT_DPI", "96");
    SetVariable("QT_SCALE_FACTOR", QByteArray::number(size / 100.0));
    return size;
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
