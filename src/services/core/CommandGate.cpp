#include "services/core/CommandGate.h"

namespace plendoro {

CommandGate::Ticket CommandGate::Begin(DeviceCommand command)
{
    std::lock_guard lock(mutex_);
    if (holder_ != kRefused) {
        if (command == DeviceCommand::Presence)
            presenceDue_ = true;
        return kRefused;
    }
    if (command == DeviceCommand::Presence)
        presenceDue_ = false;
    holder_ = next_++;
    command_ = command;
    return holder_;
}

bool CommandGate::End(Ticket ticket)
{
    std::lock_guard lock(mutex_);
    if (ticket == kRefused || ticket != holder_)
        return false;
    holder_ = kRefused;
    return true;
}

bool CommandGate::Busy() const
{
    std::lock_guard lock(mutex_);
    return holder_ != kRefused;
}

std::optional<DeviceCommand> CommandGate::Holder() const
{
    std::lock_guard lock(mutex_);
    if (holder_ == kRefused)
        return std::nullopt;
    return command_;
}

bool CommandGate::PresenceDue() const
{
    std::lock_guard lock(mutex_);
    return presenceDue_;
}

bool CommandGate::TakePresenceDue()
{
    std::lock_guard lock(mutex_);
    const bool due = presenceDue_;
    presenceDue_ = false;
    return due;
}

} // namespace plendoro
