#pragma once
// The gate of one tracker link, for the window's thread: every device
// command begins and ends here, and whoever keeps the buttons (the window)
// hears of each start, end and refusal. The rules themselves are in
// CommandGate, which a program without a window uses alone.
#include "services/core/CommandGate.h"

#include <QObject>

namespace plendoro {

class DeviceGate final : public QObject {
    Q_OBJECT
public:
    using Ticket = CommandGate::Ticket;

    explicit DeviceGate(QObject* parent = nullptr);

    // A ticket, or CommandGate::kRefused and Refused (a presence check is
    // not refused but waits in line, silently).
    Ticket Begin(DeviceCommand command);
    // Ends the command that holds `ticket` and clears the ticket, so that a
    // second End of the same command does nothing; false for any other.
    bool End(Ticket& ticket);

    bool Busy() const { return gate_.Busy(); }
    std::optional<DeviceCommand> Holder() const { return gate_.Holder(); }
    bool PresenceDue() const { return gate_.PresenceDue(); }
    bool TakePresenceDue() { return gate_.TakePresenceDue(); }

signals:
    void Started(plendoro::DeviceCommand command);
    void Ended(plendoro::DeviceCommand command);
    void Refused(plendoro::DeviceCommand command);

private:
    CommandGate gate_;
};

} // namespace plendoro
