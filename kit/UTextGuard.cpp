// Text typed into the windows goes into the program's Windows-1252 files: a character they cannot hold
// is refused where it is typed or pasted.
#include "UTextGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolTip>
#include <QValidator>

#include "UCodePage.h"

namespace {

std::optional<std::string> Unstorable(const QString& text) {
    return FirstUnencodable(text.toStdString());
}

// A line edit's paste and typing both pass its validator: a text with such a character is refused whole.
class TStorableText : public QValidator {
public:
    explicit TStorableText(QLineEdit* field) : QValidator(field), field_(field) {}
    State validate(QString& input, int&) const override {
        const std::optional<std::string> bad = Unstorable(input);
        if (!bad) return Acceptable;
        ShowUnstorableCharacter(field_, bad->c_str());
        return Invalid;
    }

private:
    QLineEdit* field_;
};

class TTextGuard : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) {
            // Fields with a validator of their own (numbers, dates) take only what it lets through.
            if (auto* field = qobject_cast<QLineEdit*>(watched); field && !field->validator())
                field->setValidator(new TStorableText(field));
        } else if (e->type() == QEvent::KeyPress &&
                   (qobject_cast<QPlainTextEdit*>(watched) || qobject_cast<QTextEdit*>(watched))) {
            const QString text = static_cast<QKeyEvent*>(e)->text();
            if (const std::optional<std::string> bad = text.isEmpty() ? std::nullopt : Unstorable(text)) {
                ShowUnstorableCharacter(static_cast<QWidget*>(watched), bad->c_str());
                return true;
            }
        }
        return false;
    }
};

} // namespace

void ShowUnstorableCharacter(QWidget* field, const char* named) {
    QApplication::beep();
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())),
                       QCoreApplication::translate("TTextGuard", "The character %1 cannot be stored: "
                                                                 "Varnholt's files hold Windows-1252 text.")
                           .arg(QString::fromStdString(named)),
                       field);
}

void InstallStorableTextGuard() {
    static TTextGuard* guard = nullptr;
    if (!guard) {
        guard = new TTextGuard(qApp);
        qApp->installEventFilter(guard);
    }
}
