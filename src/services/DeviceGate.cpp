#include "services/DeviceGate.h"

namespace plendoro {

DeviceGate::DeviceGate(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DeviceGate"));
}

DeviceGate::Ticket DeviceGate::Begin(DeviceCommand command)
{
    const Ticket ticket = gate_.Begin(command);
    if (ticket == CommandGate::kRefused) {
        if (command != DeviceCommand::Presence)
            emit Refused(command);
        return ticket;
    }
    emit Started(command);
    return ticket;
}

bool DeviceGate::End(Ticket& ticket)
{
    const std::optional<DeviceCommand> command = gate_.Holder();
    if (!command || !gate_.End(ticket))
        return false;
    ticket = CommandGate::kRefused;
    emit Ended(*command);
    return true;
}

} // namespace plendoro
