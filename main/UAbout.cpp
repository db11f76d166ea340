// The about window: name, version, credits, free-use notice, the data folder in use and the "do not show
// again" box.
#include "UAbout.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "UGlobale.h"
#include "UMessages.h"

TWinAbout* WinAbout = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
// "Free for use in any laboratory. No warranty." with every byte xor 0x2A.
constexpr char ScrambledNotice[] =
    "\x6c\x58\x4f\x4f\x0a\x4c\x45\x58\x0a\x5f\x59\x4f\x0a\x43\x44\x0a\x4b\x44\x53"
    "\x0a\x46\x4b\x48\x45\x58\x4b\x5e\x45\x58\x53\x04\x0a\x64\x45\x0a\x5d\x4b\x58"
    "\x58\x4b\x44\x5e\x53\x04";
} // namespace

QString UnscrambleNotice(const char* scrambled, int key) {
    QString out;
    for (const char* p = scrambled; *p; ++p) out.append(QChar(static_cast<char16_t>((*p ^ key) & 0xFF)));
    return out;
}

TWinAbout::TWinAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinAbout"));
    setWindowTitle(QStringLiteral("About Varnholt"));
    LblTitle = Named(new QLabel(QStringLiteral("<b>Varnholt</b>"), this), "LblTitle");
    QFont f = LblTitle->font();
    f.setPointSize(f.pointSize() + 6);
    LblTitle->setFont(f);
    LblVersion =
        Named(new QLabel(QStringLiteral("Internal quality control, version 1.0.0"), this), "LblVersion");
    LblCredits = Named(new QLabel(QStringLiteral("Levey-Jennings charts, Westgard multirules and Student's t "
                                                 "control limits for the medical laboratory."),
                                  this),
                       "LblCredits");
    LblCredits->setWordWrap(true);
    LblNotice = Named(new QLabel(UnscrambleNotice(ScrambledNotice, 0x2A), this), "LblNotice");
    LblFolder = Named(new QLabel(QStringLiteral("Data folder:\n") + ToQ(ProgramFolder), this), "LblFolder");
    LblFolder->setWordWrap(true);
    LblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CBDontShow = Named(new QCheckBox(QStringLiteral("&Do not show this window again"), this), "CBDontShow");
    BtOK = Named(new QPushButton(QStringLiteral("OK"), this), "BtOK");
    BtOK->setDefault(true);
    auto* box = new QVBoxLayout(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{LblTitle, LblVersion, LblCredits, LblNotice, LblFolder, CBDontShow})
        box->addWidget(w);
    box->addWidget(BtOK, 0, Qt::AlignRight);
    setFixedWidth(360);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    WinAbout = this;
}

TWinAbout::~TWinAbout() {
    if (WinAbout == this) WinAbout = nullptr;
}

bool TWinAbout::Execute(bool checkBoxEnabled) {
    LblFolder->setText(QStringLiteral("Data folder:\n") + ToQ(ProgramFolder));
    CBDontShow->setChecked(false);
    CBDontShow->setEnabled(checkBoxEnabled);
    exec();
    return CBDontShow->isChecked();
}
