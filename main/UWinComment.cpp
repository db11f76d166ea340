// The yellow pop-up that lists a point's values, comment and operator beside the charts.
#include "UWinComment.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

TWinComment* WinComment = nullptr;

namespace {
const QColor PopupYellow(255, 255, 0);
constexpr int LineHeight = 17;
constexpr int CaptionHeight = 18;
} // namespace

TWinComment::TWinComment(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("WinComment"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(152, 103);
    WinComment = this;
}

TWinComment::~TWinComment() {
    if (WinComment == this) WinComment = nullptr;
}

void TWinComment::Clear() {
    Caption.clear();
    Lines.clear();
}

void TWinComment::AddLine(const QString& text, const QPixmap& image) {
    Lines.push_back({text, image});
}

int TWinComment::WidestLine() const {
    QFontMetrics fm(font());
    int widest = 0;
    for (const Line& l : Lines)
        widest = std::max(widest, fm.horizontalAdvance(l.Text) + (l.Image.isNull() ? 0 : 20));
    return widest;
}

void TWinComment::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), PopupYellow);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The caption bar of the pop-up: the point's date and time.
    QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(3, 0, width() - 6, CaptionHeight), Qt::AlignVCenter | Qt::AlignLeft, Caption);
    p.drawLine(0, CaptionHeight, width(), CaptionHeight);
    p.setFont(font());
    for (size_t i = 0; i < Lines.size(); ++i) {
        int y = CaptionHeight + LineHeight * static_cast<int>(i) + 3;
        p.drawText(3, y + fm.ascent(), Lines[i].Text);
        if (!Lines[i].Image.isNull()) p.drawPixmap(width() - 20, y, Lines[i].Image);
    }
}

void TWinComment::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    qApp->installEventFilter(this);
}

void TWinComment::hideEvent(QHideEvent* e) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(e);
}

bool TWinComment::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
        // The key only closes the pop-up, as it would if the pop-up held the focus.
        hide();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        // The click closes the pop-up and still does what it does where it lands.
        hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}
