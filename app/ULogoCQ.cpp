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
    p.drawText(QRect(0, 70, width(), 24), Qt::AlignCenter, QStringLiteral("Internal quality control"));
    // A small Levey-Jennings chart: target, limits and a few points.
    QRect chart(40, 110, width() - 80, 70);
    p.fillRect(chart, Qt::white);
    int mid = chart.center().y();
    p.setPen(QColor(0, 255, 0));
    p.drawLine(chart.left(), mid, chart.right(), mid);
    p.setPen(QColor(255, 255, 0));
    p.drawLine(chart.left(), mid - 18, chart.right(), mid - 18);
    p.drawLine(chart.left(), mid + 18, chart.right(), mid + 18);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(chart.left(), mid - 30, chart.right(), mid - 30);
    p.drawLine(chart.left(), mid + 30, chart.right(), mid + 30);
    static const int offsets[] = {4, -8, 12, -3, 6, -14, 2, 9, -5, 0, 11, -10, 3, -6, 7};
    QPoint prev;
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 15; ++i) {
        QPoint pt(chart.left() + 10 + i * (chart.width() - 20) / 14, mid + offsets[i]);
        p.setPen(QColor(0, 0, 128));
        if (i > 0) p.drawLine(prev, pt);
        p.setBrush(QColor(0, 0, 128));
        p.drawEllipse(pt, 3, 3);
        prev = pt;
    }
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
    while (clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(ms - clock.elapsed()), &loop, &QEventLoop::quit);
        loop.exec();
    }
}
