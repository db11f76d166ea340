// The about window: name, version, credits, licence notice, the data folder in use and the "do not show
// again" box.
#include "UAbout.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstddef>

#include "UGlobale.h"
#include "UMessages.h"

TWinAbout* WinAbout = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
// The licence notice, stored scrambled (every byte xor NoticeKey) and built when the window is made.
constexpr int NoticeKey = 0x2A;
template <std::size_t N> struct TScrambled { char Bytes[N]; };
template <std::size_t N> constexpr TScrambled<N> Scramble(const char (&text)[N]) {
    TScrambled<N> out{};
    for (std::size_t i = 0; i + 1 < N; ++i) {
        out.Bytes[i] = static_cast<char>(text[i] ^ NoticeKey);
        // A zero byte would end the text early.
        if (!out.Bytes[i]) throw "the notice holds the key's own character";
    }
    return out;
}
constexpr auto ScrambledNotice =
    Scramble("Varnholt is free software: you can redistribute it and modify it under "
             "the GNU General Public License, version 3 or (at your option) any later "
             "version (GPL-3.0-or-later). It comes with no warranty.");
} // namespace

QString UnscrambleNotice(const char* scrambled, int key) {
    QString out;
    for (const char* p = scrambled; *p; ++p) out.append(QChar(static_cast<char16_t>((*p ^ key) & 0xFF)));
    return out;
}

TWinAbout::TWinAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinAbout"));
    setWindowTitle(tr("About Varnholt"));
    LblTitle = Named(new QLabel(QStringLiteral("<b>Varnholt</b>"), this), "LblTitle");
    QFont f = LblTitle->font();
    f.setPointSize(f.pointSize() + 6);
    LblTitle->setFont(f);
    LblVersion = Named(new QLabel(tr("Internal quality control, version 1.0.0"), this), "LblVersion");
    LblCredits = Named(new QLabel(tr("Levey-Jennings charts, Westgard multirules and Student's t "
                                     "control limits for the medical laboratory."),
                                  this),
                       "LblCredits");
    LblCredits->setWordWrap(true);
    LblNotice = Named(new QLabel(UnscrambleNotice(ScrambledNotice.Bytes, NoticeKey), this), "LblNotice");
    LblNotice->setWordWrap(true);
    LblFolder = Named(new QLabel(tr("Data folder:\n") + ToQ(ProgramFolder), this), "LblFolder");
    LblFolder->setWordWrap(true);
    LblFolder->setTextFormat(Qt::PlainText);
    LblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CBDontShow = Named(new QCheckBox(tr("&Do not show this window again"), this), "CBDontShow");
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
    LblFolder->setText(tr("Data folder:\n") + ToQ(ProgramFolder));
    CBDontShow->setChecked(false);
    CBDontShow->setEnabled(checkBoxEnabled);
    exec();
    return CBDontShow->isChecked();
}
