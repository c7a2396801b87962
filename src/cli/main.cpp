// plendoro-cli: the Kovaltrak WiFi tracker's configuration from a terminal.
#include "cli/Cli.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {
// Qt's own warnings are not the program's messages.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

int main(int argc, char** argv)
{
    // The pages are built hidden; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(Quiet);
    QApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    plendoro::cli::Io io{std::cout, std::cerr};
    io.errIsTerminal = isatty(STDERR_FILENO) == 1;
    const int status = plendoro::cli::Run(args, io);
    std::cout.flush();
    return status;
}
