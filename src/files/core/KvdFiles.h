#pragma once
// The two server database files the data server needs to accept a tracker:
// the device file (serial number, password, server and port) and the server
// file (serial number and password). Texts come in as UTF-8 and leave as
// Windows-1251 with CR LF line ends.
#include <cstdint>
#include <string>

namespace plendoro {

struct KvdValues {
    std::int32_t serialNumber = 0;
    std::string password; // edPassword
    std::string server;   // edServer, as typed
    std::string port;     // edServerPort, as typed
};

std::string KvdDeviceFileText(const KvdValues& v);
std::string KvdServerFileText(const KvdValues& v);

// kvdFolder + "TR%06d.kvd" when that file exists, else kvdFolder + "WF%06d.kvd".
std::string KvdDeviceFilePath(const std::string& kvdFolder, std::int32_t serialNumber);
// The device file's path with "-srv" before its ".kvd".
std::string KvdServerFilePath(const std::string& deviceFilePath);

enum class KvdWriteResult { Written, DeviceFileFailed, ServerFileFailed };

// Writes the device file, then the server file; stops at the first that
// cannot be written, leaving any earlier file of that name whole. The folder
// is never created here.
KvdWriteResult WriteKvdFiles(const std::string& kvdFolder, const KvdValues& v);

} // namespace plendoro
