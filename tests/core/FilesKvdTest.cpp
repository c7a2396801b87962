// The server database files: their exact bytes, their names and what a
// failed write leaves behind.
#include "FilesSupport.h"
#include "files/core/KvdFiles.h"

#include <gtest/gtest.h>

using namespace plendoro;
using namespace files_test;
namespace fs = std::filesystem;

namespace {

const KvdValues kDevice{123, "abc", "gps.example.org", "2224"};
const std::string kHead = "Kovaltrak database 1.3\r\n1 records\r\n";

} // namespace

TEST(FilesKvd, ExactBytesOfBothFiles)
{
    EXPECT_EQ(KvdDeviceFileText(kDevice), kHead + "00123:\tPASSWORD=     abc;\tIP=gps.example.org;\tPORT=2224;\r\n");
    EXPECT_EQ(KvdServerFileText(kDevice), kHead + "00123:\tPASSWORD=     abc;\r\n");

    KvdValues v = kDevice;
    v.password = "";
    EXPECT_EQ(KvdServerFileText(v), kHead + "00123:\tPASSWORD=        ;\r\n");
    // Six Cyrillic letters are twelve UTF-8 bytes but six bytes in the file.
    v.password = "пароль";
    v.server = "сервер";
    EXPECT_EQ(KvdDeviceFileText(v),
              kHead + "00123:\tPASSWORD=  \xEF\xE0\xF0\xEE\xEB\xFC;\tIP=\xF1\xE5\xF0\xE2\xE5\xF0;\tPORT=2224;\r\n");
}

TEST(FilesKvd, NamesFollowAnExistingTrFile)
{
    TempFolder dir;
    ASSERT_EQ(WriteKvdFiles(dir.path, kDevice), KvdWriteResult::Written);
    EXPECT_EQ(Slurp(dir.path + "WF000123.kvd"), KvdDeviceFileText(kDevice));
    EXPECT_EQ(Slurp(dir.path + "WF000123-srv.kvd"), KvdServerFileText(kDevice));

    TempFolder tr;
    Put(tr.path + "TR000123.kvd", "old device file");
    Put(tr.path + "WF000123.kvd", "untouched");
    ASSERT_EQ(WriteKvdFiles(tr.path, kDevice), KvdWriteResult::Written);
    EXPECT_EQ(Slurp(tr.path + "TR000123.kvd"), KvdDeviceFileText(kDevice));
    EXPECT_EQ(Slurp(tr.path + "TR000123-srv.kvd"), KvdServerFileText(kDevice));
    EXPECT_EQ(Slurp(tr.path + "WF000123.kvd"), "untouched");
    EXPECT_FALSE(fs::exists(tr.path + "WF000123-srv.kvd"));

    KvdValues seven = kDevice;
    seven.serialNumber = 1234567;
    ASSERT_EQ(WriteKvdFiles(dir.path, seven), KvdWriteResult::Written);
    EXPECT_EQ(Slurp(dir.path + "WF1234567.kvd").substr(kHead.size(), 8), "1234567:");
    EXPECT_EQ(Slurp(dir.path + "WF1234567-srv.kvd").substr(kHead.size(), 8), "1234567:");
}

TEST(FilesKvd, FailuresCreateNothingAndKeepEarlierFiles)
{
    TempFolder dir;
    EXPECT_EQ(WriteKvdFiles(dir.path + "gone/", kDevice), KvdWriteResult::DeviceFileFailed);
    EXPECT_FALSE(fs::exists(dir.path + "gone")) << "the folder is never created here";

    Put(dir.path + "WF000123.kvd", "earlier");
    KvdWriteResult result;
    {
        FileSizeLimit limit(10);
        result = WriteKvdFiles(dir.path, kDevice);
    }
    EXPECT_EQ(result, KvdWriteResult::DeviceFileFailed);
    EXPECT_EQ(Slurp(dir.path + "WF000123.kvd"), "earlier");
    EXPECT_EQ(dir.Entries(), 1u) << "no partial file left behind";
}
