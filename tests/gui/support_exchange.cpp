// Window-test support for the archive and exchange windows: acting on a modal window once it shows.
#include "support_exchange.h"

#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace {
class TExchShowFilter : public QObject {
public:
    TExchShowFilter(QWidget* w, std::function<void()> act) : QObject(w), act_(std::move(act)) {}
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() == QEvent::Show && obj == parent()) {
            obj->removeEventFilter(this);
            // A failed check returns early from `act`: the window is closed all the same.
            QTimer::singleShot(0, parent(), [act = act_, w = parent()] {
                act();
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
            });
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> act_;
};
} // namespace

void ExchWhenShown(QWidget* window, std::function<void()> act) {
    window->installEventFilter(new TExchShowFilter(window, std::move(act)));
}
