// Varnholt: the program's entry.
#include <QApplication>

#include "UProgram.h"

int main(int argc, char** argv) {
    // Windows are laid out for 96 pixels per inch. Scaling by the exact ratio of the desktop's DPI
    // keeps them at 96 logical pixels per inch on any desktop, which is what the start-up's
    // small-font check then finds; a rounded factor would leave larger fonts in the same layouts.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(varnholt);
    // Matches the installed launcher, so the desktop shows the program's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varnholt.Varnholt"));
    return RunProgram();
}
