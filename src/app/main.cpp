// Plendoro: configurator of the Kovaltrak WiFi vehicle tracker.
#include "app/LinkLogging.h"
#include "app/MainForm.h"
#include "app/core/SingleInstance.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

int main(int argc, char** argv)
{
    // A second copy gives up quietly after half a second.
    plendoro::SingleInstance instance;
    if (!instance.Acquire(500))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kovaltrak Plendoro"));
    QApplication::setApplicationDisplayName(QString());
    plendoro::InstallLinkLogging();
    try {
        plendoro::TMainForm form;
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Kovaltrak Plendoro"), QString::fromUtf8(e.what()));
    }
    instance.Release();
    return 0;
}
