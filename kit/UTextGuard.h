// Text typed into the windows goes into the program's Windows-1252 files: a character they cannot hold
// is refused where it is typed or pasted, with a beep and a tip naming it, rather than stored as "?".
#pragma once

class QWidget;

// Guards every text field of the program's windows (installed once, for the application).
void InstallStorableTextGuard();
// The tip shown beside `field` for a refused character (named as "'Ω' (U+03A9)").
void ShowUnstorableCharacter(QWidget* field, const char* named);
