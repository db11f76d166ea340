// Varnholt: the program's entry.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "UDisplaySize.h"
#include "UProgram.h"

namespace {
// Also the source of the manual page (help2man at build time), so it stays in step with the program.
constexpr char HelpText[] = "Usage: varnholt [OPTION]...\n"
                            "Internal quality control of a medical laboratory: daily control results per\n"
                            "analyte and QC level, mean, SD, CV and control limits, Westgard multirules,\n"
                            "Levey-Jennings charts, printouts, spreadsheet exchange and backup.\n"
                            "\n"
                            "Options:\n"
                            "  -h, --help     show this help and exit\n"
                            "  --version      show the version and exit\n"
                            "Qt's own options (-platform, -style, ...) are accepted as well.\n"
                            "\n"
                            "Environment:\n"
                            "  VARNHOLT_HOME  the data folder to work on, when it is set\n"
                            "\n"
                            "Files:\n"
                            "  ~/.local/share/Varnholt  the data folder ($XDG_DATA_HOME/Varnholt when that\n"
                            "                           is set); a portable install keeps its data beside\n"
                            "                           the executable instead, when that folder holds a\n"
                            "                           file named \"portable\" or the program's files\n"
                            "One program at a time works on a data folder. The companion varnholt-cli\n"
                            "works on the same folder from scripts. The user manual is in the Help menu;\n"
                            "the package installs it as /usr/share/doc/varnholt/UserManual.htm.\n";
constexpr char VersionText[] = "varnholt 1.0.0\n";

// Answers --help and --version without a display, before Qt is started; returns whether it did.
bool AnsweredOnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* text = nullptr;
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            text = HelpText;
        else if (!std::strcmp(argv[i], "--version"))
            text = VersionText;
        if (text) {
            std::fputs(text, stdout);
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char** argv) {
    // Windows are laid out for 96 pixels per inch. Scaling by the exact ratio of the desktop's DPI
    // keeps them at 96 logical pixels per inch on any desktop, which is what the start-up's
    // small-font check then finds; a rounded factor would leave larger fonts in the same layouts.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    if (AnsweredOnTerminal(argc, argv)) return 0;
    PrepareDisplaySize();
    QApplication app(argc, argv);
    RestoreScalingEnvironment();
    RestartIfDisplaySizeDoesNotFit(argv);
    Q_INIT_RESOURCE(varnholt);
    // Matches the installed launcher, so the desktop shows the program's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varnholt.Varnholt"));
    return RunProgram();
}
