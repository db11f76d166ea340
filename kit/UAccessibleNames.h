// Every control of the program's windows has a name for screen readers: its label's text.
#pragma once

class QWidget;

// Names each control, as it is shown, that has no name of its own (a button's text, a label made its
// buddy): from the label or check box left of it or above it, else its group's title, its tip, its
// placeholder or its window's title (installed once, for the application).
void InstallAccessibleNames();
// The names the controls of `root` get, given at once (windows shown before the installation).
void NameControls(QWidget* root);
