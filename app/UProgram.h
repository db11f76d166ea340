// The program's start and end: module order, splash, windows created once, first-run set-up.
#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <memory>
#include <string>

#include "UMain.h"

class QWidget;

// Fits every top-level window of the program as it is shown, and again once the desktop has framed it:
// a resizable one is made no larger than its screen's available area, and every one is moved so that
// its frame lies inside it (its top-left corner when it is larger than the area).
void InstallScreenFit();

// Makes the program's font (ProgramFont) the font of every widget class, over any font a platform
// theme (qt6ct, a desktop's settings) gives to buttons, labels, menus or message boxes, and again after
// each change of theme: the windows' fixed layouts are measured for it.
void HoldProgramFont();

// Fills the regional formats from the system locale (dates, times, decimal mark).
void FillRegionalFromLocale(const QLocale& locale = QLocale::system());

class TProgram {
    Q_DECLARE_TR_FUNCTIONS(TProgram)
public:
    TProgram();
    ~TProgram();

    // Opens the program folder through the operations layer (its lock, settings and operators,
    // result queue, data) and loads the bitmaps. False when the folder is held by another program or
    // cannot be used: it must end without writing anything (the message has been shown).
    bool Init();
    // Splash for splashMs, then every window once, main window first; the set-up window on a first run.
    void CreateWindows(int splashMs);
    void RunSetUpIfFirstRun();
    // The end: every change is on disk already; the folder's lock is released.
    void Done();

    std::unique_ptr<TWinMain> Main;

private:
    // On a server: what other benches change is brought in as soon as its notification arrives.
    void WatchServer();
    bool initialised_ = false;
};

// On a server: brings in what other benches changed, unless a dialog is open or a run is between its
// judgement and its save; false when it waited.
bool PollServerWhenFree();

// The whole program body; returns the exit code.
int RunProgram();
