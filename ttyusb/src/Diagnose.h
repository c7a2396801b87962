#pragma once
// Why a port did not open, in the terms the program tells the user.
#include <string>

namespace plendoro::ttyusb {

enum DiagnosisCode {
    kNothingToSay = 0,
    kNoPermission = 1,
    kHeldByAnother = 2,
};

struct Diagnosis {
    DiagnosisCode code = kNothingToSay;
    // For kHeldByAnother: the holding process's name, empty when unknown.
    std::string holder;
};

// From the errno of the step that failed (0: none failed) and the node that
// was opened; the holder is looked up under `procRoot`.
Diagnosis DiagnoseOpenFailure(int error, const std::string& node, const std::string& procRoot);

// The name (comm) of the first process with a descriptor on `node`.
std::string FindHolder(const std::string& node, const std::string& procRoot);

} // namespace plendoro::ttyusb
