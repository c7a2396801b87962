#pragma once
// The accelerometer calibration exchange over an open device: the start
// command and the state polls.
#include "link/ByteLink.h"

namespace plendoro {

// "MMA_CALIBRATE": true when exactly the 7 bytes "STARTED" came back.
bool StartCalibration(ByteLink& link);

enum class CalibrationState {
    Failed, // fewer than 10 bytes within 500 ms
    Done,   // "MMA_NORMAL"
    Busy,   // anything else: still calibrating
};
// One "MMA_STATE" poll.
CalibrationState PollCalibration(ByteLink& link);

} // namespace plendoro
