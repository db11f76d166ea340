// Varnholt: the program's entry.
#include <QApplication>

#include "UProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(varnholt);
    // Matches the installed launcher, so the desktop shows the program's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varnholt.Varnholt"));
    return RunProgram();
}
