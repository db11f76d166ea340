// TWinAnimCopyFic: the small window with a file-copy animation shown while a backup or restore runs.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <string>

#include "UEntryFlow.h"

// A sheet flying from one folder to the other.
class TCopyAnimation : public QWidget {
public:
    explicit TCopyAnimation(QWidget* parent);
    void Start();
    void Stop();
    bool Playing() const { return timer_.isActive(); }
    int Frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

class TWinAnimCopyFic : public QDialog, public TCopyProgress {
public:
    explicit TWinAnimCopyFic(QWidget* parent = nullptr);

    // Core's copy window: shown without being modal and painted at once, then closed.
    void Show(const std::string& warning) override;
    void Close() override;

    void FormActivate();
    void FormClose();

    QLabel* LblWarning;
    TCopyAnimation* Animate;

private:
    bool waiting_ = false;
};
