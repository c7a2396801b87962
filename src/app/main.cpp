// Plendoro: configurator of the Kovaltrak WiFi vehicle tracker.
#include "app/LinkLogging.h"
#include "app/MainForm.h"
#include "app/QtTranslation.h"
#include "app/core/AppSettings.h"
#include "app/core/CommandLine.h"
#include "app/core/InstallLayout.h"
#include "app/core/SingleInstance.h"
#include "editor/Dialogs.h"
#include "services/CalForm.h"
#include "services/OneWireSearchForm.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <unistd.h>

int main(int argc, char** argv)
{
    const plendoro::CommandLine options = plendoro::ParseCommandLine(argc, argv);
    const std::string programFolder = plendoro::ExecutableFolder();
    if (options.help || !options.unknown.empty()) {
        const std::string usage = plendoro::UsageText(argc > 0 ? argv[0] : "plendoro");
        if (options.help) {
            const plendoro::SettingsPlace place = plendoro::SettingsPlaceFor(
                plendoro::DecideLayout(programFolder, ::access(programFolder.c_str(), W_OK) == 0), programFolder,
                plendoro::UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
            std::printf("%s\nLayout: %s\nSettings file: %s%s\n", usage.c_str(), plendoro::LayoutName(place.layout),
                        place.folder.c_str(), plendoro::kSettingsFileName);
            return 0;
        }
        std::fprintf(stderr, "%s: unknown option %s\n%s", argc > 0 ? argv[0] : "plendoro", options.unknown.c_str(),
                     usage.c_str());
        return 2;
    }

    // A second copy gives up quietly after half a second; a lock that
    // cannot be tried at all is said aloud, or the program would seem
    // never to start.
    plendoro::SingleInstance instance;
    const plendoro::SingleInstance::Result lock = instance.Acquire(500);
    if (lock.outcome == plendoro::SingleInstance::Outcome::HeldByAnother)
        return 0;
    if (lock.outcome == plendoro::SingleInstance::Outcome::Failed) {
        std::fprintf(stderr, "%s: %s\n", argc > 0 ? argv[0] : "plendoro", lock.reason.c_str());
        QApplication app(argc, argv);
        QMessageBox::critical(
            nullptr, QStringLiteral("Kovaltrak Plendoro"),
            QStringLiteral("Не удалось запустить Plendoro: %1").arg(QString::fromLocal8Bit(lock.reason.c_str())));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kovaltrak Plendoro"));
    QApplication::setApplicationDisplayName(QString());
    // The installed desktop entry and icon (packaging/linux) carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.kovaltrak.Plendoro"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ru.kovaltrak.Plendoro")));
    plendoro::InstallLinkLogging();
    plendoro::InstallQtTranslation();
    try {
        plendoro::TMainForm::Options o;
        o.service = options.service;
        // Decided once, before the window is shown.
        o.settingsPlace = plendoro::ChooseSettingsPlace(programFolder);
        plendoro::TMainForm form(o);
        // The calibration dialog is made at start-up, after the window.
        plendoro::TCalForm calibration(form.Link(), form.Worker(), plendoro::QtDialogService::Instance(),
                                       plendoro::SystemClock::Instance(), &form);
        form.AttachCalibrationDialog(&calibration);
        plendoro::TOWSearchForm oneWireSearch(form.Link(), form.Worker(), &form);
        form.AttachOneWireSearchDialog(&oneWireSearch);
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Kovaltrak Plendoro"), QString::fromUtf8(e.what()));
    }
    instance.Release();
    return 0;
}
