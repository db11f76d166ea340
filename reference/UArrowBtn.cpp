// TArrowButton: a push button in the shape of a thick arrow, reacting only inside its shape.
#include "UArrowBtn.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRegion>
#include <cmath>

namespace {
// Nearest integer, halves to the even neighbour.
int R(double x) {
    return static_cast<int>(std::nearbyint(x));
}

QPolygon ToPolygon(const TArrowOutline& pts) {
    QPolygon poly;
    for (const QPoint& p : pts) poly << p;
    return poly;
}
} // namespace

TArrowOutline ArrowOutline(TButtonDirection d, int W, int H) {
    switch (d) {
    case btnRIGHT: {
        int a = R(W / 2.0) - 3, b = R(5.0 * H / 6) - 3, m = R(H / 6.0) + 3;
        return {QPoint(a, 3),     QPoint(W - 3, R(H / 2.0)),
                QPoint(a, H - 3), QPoint(a, b),
                QPoint(3, b),     QPoint(3, m),
                QPoint(a, m)};
    }
    case btnUP: {
        int d2 = R(2.0 * H / 3) - 3, e = R(5.0 * W / 6) - 3, f = R(W / 6.0) + 3;
        return {QPoint(R(W / 2.0), 3), QPoint(W - 3, d2), QPoint(e, d2), QPoint(e, H - 3),
                QPoint(f, H - 3),      QPoint(f, d2),     QPoint(3, d2)};
    }
    case btnDOWN: {
        int e = R(5.0 * W / 6) - 3, g = R(H / 2.0) - 3, f = R(W / 6.0) + 3;
        return {QPoint(e, 3), QPoint(e, g), QPoint(W - 3, g), QPoint(R(W / 2.0), H - 3),
                QPoint(3, g), QPoint(f, g), QPoint(f, 3)};
    }
    case btnLEFT: {
        int m = R(H / 6.0) + 3, b = R(5.0 * H / 6) - 3, k = R(W / 3.0) + 3;
        return {QPoint(W - 3, m),      QPoint(W - 3, b), QPoint(k, b), QPoint(k, H - 3),
                QPoint(3, R(H / 2.0)), QPoint(k, 3),     QPoint(k, m)};
    }
    }
    return {};
}

TArrowOutline ArrowFrame(TButtonDirection d, int W, int H) {
    static const std::array<std::array<QPoint, 7>, 4> offsets = {{
        // btnUP
        {QPoint(0, -1), QPoint(1, 1), QPoint(1, 1), QPoint(1, 1), QPoint(-2, 1), QPoint(-2, 1),
         QPoint(-2, 1)},
        // btnRIGHT
        {QPoint(-2, -3), QPoint(2, 0), QPoint(-2, 3), QPoint(-2, 1), QPoint(-2, 1), QPoint(-2, -2),
         QPoint(-2, -2)},
        // btnLEFT
        {QPoint(1, -2), QPoint(1, 1), QPoint(1, 1), QPoint(1, 3), QPoint(-2, 0), QPoint(1, -3),
         QPoint(1, -2)},
        // btnDOWN
        {QPoint(1, -2), QPoint(1, -1), QPoint(2, -1), QPoint(0, 1), QPoint(-3, -2), QPoint(-2, -2),
         QPoint(-2, -2)},
    }};
    TArrowOutline pts = ArrowOutline(d, W, H);
    for (size_t k = 0; k < pts.size(); ++k) pts[k] += offsets[static_cast<size_t>(d)][k];
    return pts;
}

TCaptionPieces SplitCaption(const QString& caption) {
    int amp = caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp >= caption.size() - 1) return {caption, {}, {}};
    return {caption.left(amp), caption.mid(amp + 1, 1), caption.mid(amp + 2)};
}

TArrowButton::TArrowButton(QWidget* parent) : QWidget(parent) {
    buttonColor_ = palette().color(QPalette::Button);
    resize(80, 45);
}

void TArrowButton::SetButtonColor(const QColor& c) {
    if (c == buttonColor_) return;
    buttonColor_ = c;
    update();
}

void TArrowButton::SetDirection(TButtonDirection d) {
    if (d == direction_) return;
    direction_ = d;
    update();
}

void TArrowButton::SetCaption(const QString& text) {
    if (text.isEmpty() || text == caption_) return;
    caption_ = text;
    update();
}

bool TArrowButton::HitTest(const QPoint& pos) const {
    QRegion region(ToPolygon(ArrowOutline(direction_, width(), height())), Qt::OddEvenFill);
    return region.contains(pos);
}

void TArrowButton::paintEvent(QPaintEvent*) {
    const int W = width(), H = height();
    const TArrowOutline p = ArrowOutline(direction_, W, H);
    const TArrowOutline s = ArrowFrame(direction_, W, H);
    QPainter painter(this);

    QRegion region(ToPolygon(p), Qt::OddEvenFill);
    painter.setClipRegion(region);
    painter.fillRect(rect(), buttonColor_);
    painter.setClipping(false);

    // The outer frame turns black and the light and dark edges swap while the button is held.
    painter.setBrush(buttonColor_);
    painter.setPen(QPen(pressed_ ? QColor(0, 0, 0) : QColor(128, 128, 128), 1));
    painter.drawPolygon(ToPolygon(s), Qt::OddEvenFill);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(pressed_ ? dark : light, 2));
    painter.drawPolygon(ToPolygon(p));
    painter.setPen(QPen(pressed_ ? light : dark, 2));
    painter.drawPolyline(ToPolygon(p).mid(0, 5));

    // Caption, with its shortcut letter underlined.
    QFont f = font();
    painter.setFont(f);
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(128, 128, 128));
    const QFontMetrics fm(f);
    const TCaptionPieces pieces = SplitCaption(caption_);
    const int tw = fm.horizontalAdvance(pieces.before + pieces.letter + pieces.after);
    const int th = fm.height();
    int x = 0, y = 0;
    switch (direction_) {
    case btnRIGHT:
    case btnLEFT:
        x = W / 3 - tw / 2 + 5;
        y = H / 2 - th / 2 - 2;
        break;
    case btnUP:
        x = W / 2 - tw / 2 + 3;
        y = (2 * H) / 3 - th / 2 - 2;
        break;
    case btnDOWN:
        x = W / 2 - tw / 2 + 3;
        y = H / 3 - th / 2;
        break;
    }
    const int baseline = y + fm.ascent();
    painter.drawText(x, baseline, pieces.before);
    if (!pieces.letter.isEmpty()) {
        x += fm.horizontalAdvance(pieces.before);
        QFont u = f;
        u.setUnderline(true);
        painter.setFont(u);
        painter.drawText(x, baseline, pieces.letter);
        x += QFontMetrics(u).horizontalAdvance(pieces.letter);
        painter.setFont(f);
        painter.drawText(x, baseline, pieces.after);
    }
}

void TArrowButton::mousePressEvent(QMouseEvent* e) {
    // A press outside the arrow shape is ignored entirely.
    if (e->button() != Qt::LeftButton || !HitTest(e->position().toPoint())) {
        e->ignore();
        return;
    }
    pressed_ = true;
    update();
    e->accept();
}

void TArrowButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !pressed_) {
        e->ignore();
        return;
    }
    pressed_ = false;
    update();
    e->accept();
    if (rect().contains(e->position().toPoint())) emit clicked();
}
