// The server database files from the editor's fields, their status-line
// failures, and the files that follow a successful device write.
#include "FilesFixture.h"

using namespace files_test;

namespace {

class FilesDatabase : public FilesFixture {
protected:
    void SetUp() override
    {
        Attach(403);
        Edit("edPassword")->setText(QStringLiteral("abc"));
        Edit("edServer")->setText(QStringLiteral("gps.example.org"));
        Edit("edServerPort")->setText(QStringLiteral("2224"));
    }
};

} // namespace

TEST_F(FilesDatabase, WritesBothFilesFromTheFields)
{
    EXPECT_TRUE(WriteKvdFiles(editor, Context(403)));
    EXPECT_TRUE(status.empty());
    EXPECT_EQ(ReadFile(kvdFolder + QStringLiteral("WF000123.kvd")),
              QByteArray("Kovaltrak database 1.3\r\n1 records\r\n"
                         "00123:\tPASSWORD=     abc;\tIP=gps.example.org;\tPORT=2224;\r\n"));
    EXPECT_EQ(ReadFile(kvdFolder + QStringLiteral("WF000123-srv.kvd")),
              QByteArray("Kovaltrak database 1.3\r\n1 records\r\n00123:\tPASSWORD=     abc;\r\n"));
}

TEST_F(FilesDatabase, FailuresAreReportedInRed)
{
    FilesContext missing = Context(403);
    missing.kvdFolder = tempDir.path() + QStringLiteral("/gone/");
    EXPECT_FALSE(WriteKvdFiles(editor, missing));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Не удалось создать KVD файл"), true}}));
    EXPECT_FALSE(QDir(missing.kvdFolder).exists()) << "the folder is never created for these files";

    status.clear();
    QDir().mkpath(kvdFolder + QStringLiteral("WF000123-srv.kvd"));
    EXPECT_FALSE(WriteKvdFiles(editor, Context(403)));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Не удалось создать серверный KVD файл"), true}}));
    EXPECT_TRUE(QFile::exists(kvdFolder + QStringLiteral("WF000123.kvd")));
}

TEST_F(FilesDatabase, SuccessfulWriteLeavesDatabaseFilesAndTheAutomaticProfile)
{
    SaveFilesAfterWrite(editor, Context(403));
    EXPECT_TRUE(status.empty());
    EXPECT_EQ(FilesIn(kvdFolder), (QStringList{QStringLiteral("Profiles"), QStringLiteral("WF000123-srv.kvd"),
                                               QStringLiteral("WF000123.kvd")}));
    EXPECT_EQ(FilesIn(ProfilesFolder()), QStringList{QStringLiteral("WF_00123_240305_140709.kvp")});
}

// The layout's own folder is made when missing; a folder the user chose is
// not (it may be a share that is not mounted), and then nothing is written.
TEST_F(FilesDatabase, AMissingFolderIsMadeOnlyWhenItIsTheDefault)
{
    const QString gone = tempDir.path() + QStringLiteral("/gone/");
    const QString profile = gone + QStringLiteral("Profiles/WF_00123_240305_140709.kvp");
    const struct {
        QString defaultFolder;
        std::vector<StatusLine> status;
        bool written;
    } cases[] = {
        {QString(), {{QStringLiteral("Каталог KVD файлов не найден: %1").arg(gone), true}}, false},
        {tempDir.path() + QStringLiteral("/other/"),
         {{QStringLiteral("Каталог KVD файлов не найден: %1").arg(gone), true}},
         false},
        {tempDir.path() + QStringLiteral("/gone"), {}, true}, // the same folder, spelt without its "/"
    };
    for (const auto& c : cases) {
        QDir(gone).removeRecursively();
        status.clear();
        FilesContext context = Context(403);
        context.kvdFolder = gone;
        context.defaultKvdFolder = c.defaultFolder;
        SaveFilesAfterWrite(editor, context);
        EXPECT_EQ(status, c.status) << c.defaultFolder.toStdString();
        EXPECT_EQ(QFile::exists(gone + QStringLiteral("WF000123.kvd")), c.written);
        EXPECT_EQ(QFile::exists(profile), c.written);
        EXPECT_EQ(QDir(gone).exists(), c.written) << "a chosen folder is never made";
    }
}

TEST_F(FilesDatabase, ProfileIsSavedEvenWhenTheDatabaseFilesFail)
{
    QDir().mkpath(kvdFolder + QStringLiteral("WF000123.kvd"));
    SaveFilesAfterWrite(editor, Context(403));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Не удалось создать KVD файл"), true}}));
    EXPECT_TRUE(QFile::exists(ProfilesFolder() + QStringLiteral("WF_00123_240305_140709.kvp")));
}

TEST_F(FilesDatabase, DeviceWithoutSerialNumberAsksWhereToSaveTheProfile)
{
    dialogs.paths = {QString()};
    SaveFilesAfterWrite(editor, Context(403, 0));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("save"));
    EXPECT_TRUE(QFile::exists(kvdFolder + QStringLiteral("WF000000.kvd")));
}
