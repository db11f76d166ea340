// Varnholt: the program's entry.
#include <QApplication>

#include "UProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(varnholt);
    return RunProgram();
}
