// The program's start and end: module order, splash, windows created once, first-run set-up.
#pragma once

#include <QLocale>
#include <memory>
#include <string>

#include "UMain.h"

class TFolderLock;
class QWidget;

// Keeps a top-level window on its screen's available area: a resizable one is made no larger than
// that area, and every one is moved so that its frame lies inside it (its top-left corner when it is
// larger than the area).
void FitToScreen(QWidget* window);
// Fits every top-level window of the program as it is shown, and again once the desktop has framed it.
void InstallScreenFit();

// Fills the regional formats from the system locale (dates, times, decimal mark).
void FillRegionalFromLocale(const QLocale& locale = QLocale::system());

class TProgram {
public:
    TProgram();
    ~TProgram();

    // The modules in order: shared (program folder, its lock, settings and operators, bitmaps),
    // result queue, data. False when the folder is held by another program: it must end without
    // writing anything (the message has been shown).
    bool Init();
    // Splash for splashMs, then every window once, main window first; the set-up window on a first run.
    void CreateWindows(int splashMs);
    void RunSetUpIfFirstRun();
    // The modules in reverse order: data file, queue file, settings file; each failure is shown.
    void Done();

    std::unique_ptr<TWinMain> Main;

private:
    std::unique_ptr<TFolderLock> lock_; // held from the start to the last write
    bool initialised_ = false;
};

// The whole program body; returns the exit code.
int RunProgram();
