// Every control of the program's windows has a name for screen readers: its label's text.
#include "UAccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace {

bool IsControl(const QWidget* w) {
    if (w->isWindow() || w->focusPolicy() == Qt::NoFocus) return false;
    // The parts of a compound control (a spin box's or a combo box's edit) go with it.
    const QWidget* parent = w->parentWidget();
    return !qobject_cast<const QAbstractSpinBox*>(parent) && !qobject_cast<const QComboBox*>(parent);
}

bool HasWord(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// A label's text as a name: without the mnemonic's ampersand and the closing colon.
QString NameOf(QString text) {
    text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xE000), QLatin1Char('&'));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

// The text of a label or a check box that names what lies next to it.
QString CaptionOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->buddy() || label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text()))
            return {};
        return NameOf(label->text());
    }
    if (auto* box = qobject_cast<const QCheckBox*>(w)) return NameOf(box->text());
    return {};
}

// The caption beside the control, in the window's coordinates: on its left on the same line, else
// just above it (over a list or a table, only a caption of some width: not a column's heading).
QString NearCaption(QWidget* w) {
    QWidget* window = w->window();
    const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    const bool tall = r.height() > 48;
    QString left, above;
    int leftGap = 200, aboveGap = 40;
    for (QWidget* c : window->findChildren<QWidget*>()) {
        if (c == w || !c->isVisibleTo(window)) continue;
        const QString caption = CaptionOf(c);
        if (caption.isEmpty()) continue;
        const QRect l(c->mapTo(window, QPoint(0, 0)), c->size());
        const int middle = r.center().y();
        if (l.top() <= middle && l.bottom() >= middle && l.right() <= r.left() + 4) {
            if (r.left() - l.right() < leftGap) {
                leftGap = r.left() - l.right();
                left = caption;
            }
        } else if (l.bottom() <= r.top() + 4 && l.left() < r.right() && l.right() > r.left() &&
                   (!tall || 3 * l.width() >= r.width())) {
            if (r.top() - l.bottom() < aboveGap) {
                aboveGap = r.top() - l.bottom();
                above = caption;
            }
        }
    }
    return left.isEmpty() ? above : left;
}

QString GroupTitle(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (auto* group = qobject_cast<QGroupBox*>(p))
            if (!group->title().isEmpty()) return group->title();
    return {};
}

void NameControl(QWidget* w) {
    if (!IsControl(w) || !w->accessibleName().isEmpty()) return;
    // A button's "..." says nothing: its tip says what it does. Qt names a field in a group after the
    // group: the label beside it says more.
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(w);
    const QString own = acc ? acc->text(QAccessible::Name) : QString();
    const bool group = !own.isEmpty() && NameOf(own) == NameOf(GroupTitle(w));
    if (HasWord(own) && !group) return;
    if (group) {
        if (const QString near = NearCaption(w); !near.isEmpty()) w->setAccessibleName(near);
        return;
    }
    QString name;
    if (qobject_cast<QAbstractButton*>(w)) name = NameOf(w->toolTip());
    if (name.isEmpty()) name = NearCaption(w);
    if (name.isEmpty()) name = NameOf(GroupTitle(w));
    if (name.isEmpty()) name = NameOf(w->toolTip());
    if (name.isEmpty())
        if (auto* edit = qobject_cast<QLineEdit*>(w)) name = NameOf(edit->placeholderText());
    if (name.isEmpty()) name = NameOf(w->window()->windowTitle());
    if (!name.isEmpty()) w->setAccessibleName(name);
}

class TAccessibleNames : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow())
                NameControls(w);
            else
                NameControl(w);
        }
        return false;
    }
};

} // namespace

void NameControls(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->isVisibleTo(root)) NameControl(w);
}

void InstallAccessibleNames() {
    static TAccessibleNames* names = nullptr;
    if (!names) {
        names = new TAccessibleNames(qApp);
        qApp->installEventFilter(names);
    }
}
