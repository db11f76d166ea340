// The per-level group boxes of the lock, fix and erase pages of the main window.
#include "USpecialComponents.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UMessages.h"
#include "UQcError.h"

namespace {
template <class T> T* Placed(T* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(x, y, width, height);
    return w;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, int x, int y, int width) {
    auto* l = Placed(new QLabel(text, parent), name, x, y, width, 16);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* LevelButton(QWidget* parent, const char* name, const QString& text, int x, int y, int level) {
    auto* b = Placed(new QPushButton(text, parent), name, x, y, 60, 18);
    // The level the button acts on, as the handlers read it.
    b->setProperty("tag", level);
    return b;
}
} // namespace

TGBLockedParam::TGBLockedParam(QWidget* parent, int level) : QGroupBox(parent), Level(level) {
    setObjectName(QStringLiteral("GBLockedParam%1").arg(level));
    resize(183, 62);
    Lbl1 = Caption(this, "Lbl1", QString(), 6, 18, 175);
    Lbl1->setProperty("basePointSize", Lbl1->font().pointSizeF());
    QPalette red = Lbl1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Lbl1->setPalette(red);
    BtLock = LevelButton(this, "BtLock", tr("Locked"), 30, 38, level);
    BtUnLock = LevelButton(this, "BtUnLock", tr("Mobile"), 100, 38, level);
}

void TGBLockedParam::Init(const QString& caption) {
    setTitle(caption);
}

void TGBLockedParam::SetState(const QString& text) {
    // Four-digit years make "Locked from ... to ..." wider than the group: the text shrinks rather
    // than losing the end of the interval.
    QFont f = Lbl1->font();
    qreal size = Lbl1->property("basePointSize").toReal();
    f.setPointSizeF(size);
    while (size > 5 && QFontMetrics(f).horizontalAdvance(text) > Lbl1->width()) {
        size -= 0.5;
        f.setPointSizeF(size);
    }
    Lbl1->setFont(f);
    Lbl1->setText(text);
}

TGBFixedParam::TGBFixedParam(QWidget* parent, int level) : QGroupBox(parent), Level(level) {
    setObjectName(QStringLiteral("GBFixedParam%1").arg(level));
    resize(170, 115);
    LblTarget = Caption(this, "LblTarget", tr("Target value"), 6, 16, 64);
    EditTarget = Placed(new QLineEdit(this), "EditTarget", 70, 15, 56, 18);
    LblUnite = Caption(this, "LblUnite", QString(), 129, 16, 40);
    LblLimits = Caption(this, "LblLimits", tr("Deviations allowed before"), 6, 35, 160);
    LblWarning = Caption(this, "LblWarning", QStringLiteral("warning"), 14, 51, 54);
    EditWarning = Placed(new QLineEdit(this), "EditWarning", 70, 50, 56, 18);
    LblAction = Caption(this, "LblAction", QStringLiteral("action"), 14, 70, 54);
    EditAction = Placed(new QLineEdit(this), "EditAction", 70, 69, 56, 18);
    BtFix = LevelButton(this, "BtFix", tr("Fixed"), 20, 90, level);
    BtUnfix = LevelButton(this, "BtUnfix", tr("Mobile"), 90, 90, level);
}

void TGBFixedParam::Init(const QString& caption, const QString& unit) {
    setTitle(caption);
    LblUnite->setText(unit);
}

bool TGBFixedParam::GetFields(long double& target, long double& warning, long double& action) {
    // ReadRealEdit shows the refusal and focuses the box before it throws.
    try {
        target = ReadRealEdit(EditTarget, false);
        warning = ReadRealEdit(EditWarning, true);
        action = ReadRealEdit(EditAction, true);
    } catch (const EConvertError&) {
        return false;
    }
    if (action < warning) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Action < Warning")));
        return false;
    }
    return true;
}

TGBArchivage::TGBArchivage(QWidget* parent, int level) : QGroupBox(parent), Level(level) {
    setObjectName(QStringLiteral("GBArchivage%1").arg(level));
    setGeometry(10, 0, 160, 60);
    BtArchi = Placed(new QPushButton(this), "BtArchi", 10, 22, 140, 25);
    BtArchi->setProperty("tag", level);
}

void TGBArchivage::Init(const QString& caption) {
    setTitle(caption);
}
