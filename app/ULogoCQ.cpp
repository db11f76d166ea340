// The splash window shown while the program loads.
#include "ULogoCQ.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QScreen>
#include <QTimer>

TWinLogoCQ::TWinLogoCQ(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("WinLogoCQ"));
    setFixedSize(360, 200);
    if (QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void TWinLogoCQ::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 128));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"), 26, QFont::Bold);
    p.setFont(f);
    p.drawText(QRect(0, 20, width(), 50), Qt::AlignCenter, QStringLiteral("Varnholt"));
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 70, width(), 24), Qt::AlignCenter, tr("Internal quality control"));
    p.drawPixmap(40, 110, ProgramPicture(width() - 80, 70));
}

QPixmap ProgramPicture(int width, int height) {
    QPixmap picture(width, height);
    picture.fill(Qt::white);
    QPainter p(&picture);
    int mid = height / 2;
    int warn = height / 4, action = height * 3 / 7;
    p.setPen(QColor(0, 255, 0));
    p.drawLine(0, mid, width, mid);
    p.setPen(QColor(255, 255, 0));
    p.drawLine(0, mid - warn, width, mid - warn);
    p.drawLine(0, mid + warn, width, mid + warn);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(0, mid - action, width, mid - action);
    p.drawLine(0, mid + action, width, mid + action);
    static const double offsets[] = {0.1, -0.2, 0.3, -0.07, 0.15, -0.35, 0.05, 0.22, -0.12, 0, 0.27, -0.25};
    constexpr int n = 12;
    p.setRenderHint(QPainter::Antialiasing);
    QPoint prev;
    int radius = std::max(1, height / 24);
    for (int i = 0; i < n; ++i) {
        QPoint pt(radius + 2 + i * (width - 2 * radius - 4) / (n - 1),
                  mid + static_cast<int>(offsets[i] * height));
        p.setPen(QColor(0, 0, 128));
        if (i > 0) p.drawLine(prev, pt);
        p.setBrush(QColor(0, 0, 128));
        p.drawEllipse(pt, radius, radius);
        prev = pt;
    }
    return picture;
}

void TWinLogoCQ::closeEvent(QCloseEvent* e) {
    e->ignore();
}

void ShowSplashAndWait(TWinLogoCQ& splash, int ms) {
    splash.show();
    splash.repaint();
    QElapsedTimer clock;
    clock.start();
    // A local event loop keeps the splash painted and the program responsive for the whole wait.
    // A precise timer: a coarse one, as Qt picks for waits of seconds, may end it 5 % late.
    while (clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(ms - clock.elapsed()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}
