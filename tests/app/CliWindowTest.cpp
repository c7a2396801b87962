// The command line and the window read the same tracker into the same
// profile, byte for byte.
#include "WindowFixture.h"

#include "cli/Cli.h"

#include <QAction>
#include <QFile>

#include <sstream>

using namespace windowtest;

TEST_F(TransferFixture, TheCommandLineSavesTheProfileTheWindowSaves)
{
    for (int firmware : {304, 403}) {
        Start(firmware);
        ASSERT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
        const QString byWindow = dir.filePath(QStringLiteral("window-%1.kvp").arg(firmware));
        dialogs.paths = {byWindow};
        form->findChild<QAction*>(QStringLiteral("mSaveProfile"))->trigger();
        ASSERT_TRUE(QFile::exists(byWindow)) << Status().toStdString();

        const QString byCli = dir.filePath(QStringLiteral("cli-%1.kvp").arg(firmware));
        std::ostringstream out, err;
        plendoro::cli::Io io{out, err};
        io.programFolder = dir.path().toStdString() + "/";
        ASSERT_EQ(plendoro::cli::Run({"read", "-o", byCli.toStdString()}, io), plendoro::cli::kDone) << err.str();
        QFile a(byWindow), b(byCli);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << firmware;
    }
}
