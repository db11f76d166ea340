// The yellow pop-up that lists a point's values, comment and operator beside the charts.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <vector>

class TWinComment : public QWidget {
    Q_OBJECT
public:
    struct Line {
        QString Text;
        QPixmap Image; // null for none
    };

    explicit TWinComment(QWidget* parent = nullptr);
    ~TWinComment() override;

    QString Caption;
    std::vector<Line> Lines;

    void Clear();
    void AddLine(const QString& text, const QPixmap& image = QPixmap());
    // Width of the widest line (its text, plus 20 pixels when it has an image).
    int WidestLine() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // While showing, any key press or mouse press anywhere in the program closes the pop-up: it is
    // never activated, so the keys would otherwise reach the main window under stale values.
    bool eventFilter(QObject* watched, QEvent* e) override;
};

extern TWinComment* WinComment;
