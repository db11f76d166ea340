// TArrowButton: a push button in the shape of a thick arrow, reacting only inside its shape.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>

enum TButtonDirection { btnUP, btnRIGHT, btnLEFT, btnDOWN };

using TArrowOutline = std::array<QPoint, 7>;

// The arrow outline P0..P6 for a control of w x h pixels.
TArrowOutline ArrowOutline(TButtonDirection d, int w, int h);
// The frame outline S0..S6 just outside it.
TArrowOutline ArrowFrame(TButtonDirection d, int w, int h);

// A caption cut at its shortcut mark: the text before the first "&" that is not the last character,
// the character after it (drawn underlined) and the rest. Without such a mark all is in `before`.
struct TCaptionPieces {
    QString before;
    QString letter;
    QString after;
};
TCaptionPieces SplitCaption(const QString& caption);

class TArrowButton : public QWidget {
    Q_OBJECT
public:
    explicit TArrowButton(QWidget* parent = nullptr);

    QColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(const QColor& c);
    TButtonDirection Direction() const { return direction_; }
    void SetDirection(TButtonDirection d);
    QString Caption() const { return caption_; }
    // A different, non-empty text is stored and drawn; an empty text leaves the caption unchanged.
    void SetCaption(const QString& text);

    bool Pressed() const { return pressed_; }
    // True when the point (control coordinates) lies inside the arrow shape.
    bool HitTest(const QPoint& pos) const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QColor buttonColor_;
    TButtonDirection direction_ = btnRIGHT;
    QString caption_;
    bool pressed_ = false;
};
