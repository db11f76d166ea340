// Probe loaded into the real program through QT_QPA_GENERIC_PLUGINS=varnholtprobe: reports on stderr
// the windows and message boxes shown, answers every modal dialog with its reject (Cancel / close)
// unless VARNHOLT_PROBE_KEEP_DIALOGS is set,
// and ends the program that many ms after its main window's first paint when VARNHOLT_PROBE_QUIT_MS is set.
// With VARNHOLT_PROBE_RANDOM=N it opens the random generator after the first paint and adds N random
// runs to the current analyte's charts (its confirmation answered OK), then reports "random added".
// VARNHOLT_PROBE_T0 (nanoseconds since the epoch, taken by the script at launch) dates each report.
#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {
double MsSinceLaunch() {
    static const long long t0 = qEnvironmentVariable("VARNHOLT_PROBE_T0").toLongLong();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    return t0 > 0 ? static_cast<double>(ns - t0) / 1e6 : -1.0;
}

void Report(const char* what, const QObject* o, const QString& text = {}) {
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QStringLiteral(" | "));
    std::fprintf(stderr, "probe: %.1f ms %s %s%s%s\n", MsSinceLaunch(), what, o->metaObject()->className(),
                 flat.isEmpty() ? "" : ": ", qPrintable(flat));
    std::fflush(stderr);
}

class TProbe : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (!watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (e->type() == QEvent::Paint && !mainPainted_ && w->inherits("QMainWindow")) {
            // The first paint comes once the window's start (filling its lists) is done.
            mainPainted_ = true;
            Report("main window painted", w);
            if (qEnvironmentVariableIsSet("VARNHOLT_PROBE_QUIT_MS"))
                QTimer::singleShot(qEnvironmentVariableIntValue("VARNHOLT_PROBE_QUIT_MS"), qApp,
                                   [] { QCoreApplication::exit(0); });
            if (qEnvironmentVariableIsSet("VARNHOLT_PROBE_RANDOM")) {
                random_ = true;
                QTimer::singleShot(100, w, [w] {
                    if (auto* a = w->findChild<QAction*>(QStringLiteral("MnuRandomGenerator"))) a->trigger();
                    Report("random added", w);
                });
            }
        }
        if (e->type() != QEvent::Show || !w->isWindow()) return false;
        if (w->inherits("QMainWindow")) {
            Report("main window shown", w);
        } else if (random_ && w->objectName() == QLatin1String("WinRandom")) {
            Report("dialog shown", w);
            QTimer::singleShot(0, w, [w] { FillRandom(w); });
        } else if (random_ && w->inherits("QMessageBox")) {
            Report("dialog shown", w, w->property("text").toString());
            QTimer::singleShot(0, w, [w] {
                auto* box = static_cast<QMessageBox*>(w);
                for (QAbstractButton* b : box->buttons()) {
                    QMessageBox::ButtonRole role = box->buttonRole(b);
                    if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) return b->click();
                }
            });
        } else if (w->inherits("QDialog")) {
            Report("dialog shown", w, w->property("text").toString());
            // Answered from the event loop the dialog runs, once it is up; left open on request.
            if (!qEnvironmentVariableIsSet("VARNHOLT_PROBE_KEEP_DIALOGS"))
                QTimer::singleShot(0, w, [w] { QMetaObject::invokeMethod(w, "reject"); });
        } else {
            Report("window shown", w);
        }
        return false;
    }

private:
    // The random generator's fields: the number of runs, and in the grid (a column a level, below its
    // heading row) a mean of 10 and a CV of 3 % for every level.
    static void FillRandom(QWidget* w) {
        if (auto* n = w->findChild<QLineEdit*>(QStringLiteral("EditNumber")))
            n->setText(qEnvironmentVariable("VARNHOLT_PROBE_RANDOM"));
        if (auto* g = w->findChild<QTableWidget*>(QStringLiteral("Grille")))
            for (int c = 1; c < g->columnCount(); ++c) {
                g->setItem(1, c, new QTableWidgetItem(QStringLiteral("10")));
                g->setItem(2, c, new QTableWidgetItem(QStringLiteral("3")));
            }
        if (auto* c = w->findChild<QAbstractButton*>(QStringLiteral("RBCharts"))) c->setChecked(true);
        if (auto* ok = w->findChild<QAbstractButton*>(QStringLiteral("BtOK"))) ok->click();
    }
    bool mainPainted_ = false;
    bool random_ = false;
};

class TProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
public:
    QObject* create(const QString& key, const QString&) override {
        if (key.compare(QLatin1String("varnholtprobe"), Qt::CaseInsensitive) != 0) return nullptr;
        auto* probe = new TProbe;
        QCoreApplication::instance()->installEventFilter(probe);
        std::fprintf(stderr, "probe: %.1f ms loaded\n", MsSinceLaunch());
        return probe;
    }
};
} // namespace

#include "probe_plugin.moc"
