#include "files/core/KvdFiles.h"

#include "common/Cp1251.h"
#include "common/FileIo.h"
#include "common/Format.h"

#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace plendoro {

namespace {

constexpr const char* kDatabaseHead = "Kovaltrak database 1.3\r\n1 records\r\n";

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string KvdDeviceFileText(const KvdValues& v)
{
    // The password pads to eight bytes of the code page, not to eight UTF-8 bytes.
    return std::string(kDatabaseHead) + Format("%05d:\tPASSWORD=%8s;\tIP=%s;\tPORT=%s;\r\n",
                                               static_cast<int>(v.serialNumber), Utf8ToCp1251(v.password).c_str(),
                                               Utf8ToCp1251(v.server).c_str(), Utf8ToCp1251(v.port).c_str());
}

std::string KvdServerFileText(const KvdValues& v)
{
    return std::string(kDatabaseHead) +
           Format("%05d:\tPASSWORD=%8s;\r\n", static_cast<int>(v.serialNumber), Utf8ToCp1251(v.password).c_str());
}

std::string KvdDeviceFilePath(const std::string& kvdFolder, std::int32_t serialNumber)
{
    std::string tr = kvdFolder + Format("TR%06d.kvd", static_cast<int>(serialNumber));
    if (Exists(tr))
        return tr;
    return kvdFolder + Format("WF%06d.kvd", static_cast<int>(serialNumber));
}

std::string KvdServerFilePath(const std::string& deviceFilePath)
{
    return deviceFilePath.substr(0, deviceFilePath.size() - 4) + "-srv.kvd";
}

KvdWriteResult WriteKvdFiles(const std::string& kvdFolder, const KvdValues& v)
{
    const std::string device = KvdDeviceFilePath(kvdFolder, v.serialNumber);
    if (!WriteFileAtomically(device, KvdDeviceFileText(v)))
        return KvdWriteResult::DeviceFileFailed;
    if (!WriteFileAtomically(KvdServerFilePath(device), KvdServerFileText(v)))
        return KvdWriteResult::ServerFileFailed;
    return KvdWriteResult::Written;
}

} // namespace plendoro
