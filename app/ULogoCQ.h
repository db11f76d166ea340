// The splash window shown while the program loads.
#pragma once

#include <QPixmap>
#include <QWidget>

class TWinLogoCQ : public QWidget {
    Q_OBJECT
public:
    explicit TWinLogoCQ(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
    // The splash goes away only when the main window first shows; a close request leaves it.
    void closeEvent(QCloseEvent* e) override;
};

// The program's picture: a small Levey-Jennings chart (splash, set-up window, window icon).
QPixmap ProgramPicture(int width, int height);

// Shows the splash at once and waits at least `ms` milliseconds, handling window events meanwhile.
void ShowSplashAndWait(TWinLogoCQ& splash, int ms);
