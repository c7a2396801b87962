#pragma once
// One gate per tracker link: the only way a device command starts. A
// command asks to begin and is refused while another holds the gate; only
// the ticket the gate handed out ends it. The presence check is never
// refused: while a command holds the gate it waits in line and is due once
// when the gate is free again. Safe to use from several threads.
#include <cstdint>
#include <mutex>
#include <optional>

namespace plendoro {

enum class DeviceCommand : std::uint8_t {
    Presence,
    Read,
    Write,
    Clear,     // TClearThread
    Calibrate, // from "Калибровать" until the device is closed again
    CanSearch, // StartCanSearch to the answer of STOP_CAN_SEARCH
    OneWireDialog,
    OneWireLine, // TItTempSearch to ItTempSearchDone
    Compare,
};

class CommandGate {
public:
    using Ticket = std::uint64_t;
    static constexpr Ticket kRefused = 0;

    // A ticket when the gate was free, kRefused otherwise. A presence check
    // that is refused is remembered as due instead.
    Ticket Begin(DeviceCommand command);
    // Ends the command that holds `ticket`; false (and nothing changes) for
    // any other ticket.
    bool End(Ticket ticket);

    bool Busy() const;
    std::optional<DeviceCommand> Holder() const;
    // Whether a presence check waits for the gate; taking it clears it.
    bool PresenceDue() const;
    bool TakePresenceDue();

private:
    mutable std::mutex mutex_;
    Ticket next_ = 1;
    Ticket holder_ = kRefused;
    DeviceCommand command_ = DeviceCommand::Presence;
    bool presenceDue_ = false;
};

} // namespace plendoro
