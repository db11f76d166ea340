// TWinAnimCopyFic: the small window with a file-copy animation shown while a backup or restore runs.
#include "UAnimCopyFic.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "UCodePage.h"

namespace {
constexpr int FrameCount = 12;

void DrawFolder(QPainter& p, int x, int y) {
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(x, y + 6, 44, 30);
    p.drawRect(x, y, 18, 6);
}
} // namespace

TCopyAnimation::TCopyAnimation(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % FrameCount;
        update();
    });
}

void TCopyAnimation::Start() {
    frame_ = 0;
    timer_.start();
}

void TCopyAnimation::Stop() {
    timer_.stop();
}

void TCopyAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = width();
    DrawFolder(p, 10, 14);
    DrawFolder(p, w - 54, 14);
    // The sheet rises from the left folder and falls into the right one along an arc.
    const double t = static_cast<double>(frame_) / (FrameCount - 1);
    const double x = 40 + t * (w - 100);
    const double y = 18 - 16 * 4 * t * (1 - t);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, y, 16, 20));
    p.setPen(QColor(128, 128, 128));
    for (int line = 0; line < 3; ++line)
        p.drawLine(QPointF(x + 3, y + 5 + 4 * line), QPointF(x + 13, y + 5 + 4 * line));
}

TWinAnimCopyFic::TWinAnimCopyFic(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinAnimCopyFic"));
    setWindowTitle(QStringLiteral("Varnholt"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    setFixedSize(340, 110);
    setModal(false);
    Animate = new TCopyAnimation(this);
    Animate->setObjectName(QStringLiteral("Animate"));
    Animate->setGeometry(20, 8, 300, 56);
    LblWarning = new QLabel(this);
    LblWarning->setObjectName(QStringLiteral("LblWarning"));
    LblWarning->setTextFormat(Qt::PlainText);
    LblWarning->setGeometry(10, 72, 320, 30);
    LblWarning->setAlignment(Qt::AlignCenter);
    LblWarning->setWordWrap(true);
}

void TWinAnimCopyFic::Show(const std::string& warning) {
    LblWarning->setText(QString::fromStdString(Cp1252ToUtf8(warning)));
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    FormActivate();
    // The hourglass only while the file is copied: the questions before it need the arrow.
    if (!waiting_) QApplication::setOverrideCursor(Qt::WaitCursor);
    waiting_ = true;
    // The file operation holds the thread: paint now so that the window is seen during it.
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TWinAnimCopyFic::Close() {
    if (waiting_) QApplication::restoreOverrideCursor();
    waiting_ = false;
    FormClose();
    hide();
}

void TWinAnimCopyFic::FormActivate() {
    Animate->Start();
}

void TWinAnimCopyFic::FormClose() {
    Animate->Stop();
}
