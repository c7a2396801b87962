#include "firmware/core/ServerLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

namespace plendoro {

namespace {

bool IsDotted(const std::string& text)
{
    in_addr a{};
    return inet_pton(AF_INET, text.c_str(), &a) == 1;
}

} // namespace

std::optional<std::string> ResolveIpv4(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    if (!ok)
        return std::nullopt;
    return std::string(text);
}

bool IsHostName(const std::string& text)
{
    if (text.empty() || text.size() > 253)
        return false;
    bool allDigitsAndDots = true;
    std::size_t label = 0;
    char previous = '.';
    for (const char c : text) {
        if (c == '.') {
            if (label == 0 || previous == '-')
                return false;
            label = 0;
        } else {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const bool digit = c >= '0' && c <= '9';
            if (!letter && !digit && c != '-')
                return false;
            if (c == '-' && label == 0)
                return false;
            if (++label > 63)
                return false;
            allDigitsAndDots = allDigitsAndDots && digit;
        }
        previous = c;
    }
    // "10.0.0.300" is a mistyped address, not a name.
    return label > 0 && previous != '-' && !allDigitsAndDots;
}

ServerLookup::ServerLookup(HostResolver resolver) : resolver_(std::move(resolver)), shared_(std::make_shared<Shared>())
{}

std::optional<std::string> ServerLookup::Resolve(const std::string& server, std::chrono::milliseconds bound)
{
    if (IsDotted(server))
        return server;
    if (!IsHostName(server) || !resolver_)
        return std::nullopt;
    std::shared_ptr<Shared> shared = shared_;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->aborted)
            return std::nullopt;
        shared->done = false;
        shared->address.reset();
    }
    std::thread([shared, resolver = resolver_, server] {
        std::optional<std::string> address = resolver(server);
        std::lock_guard lock(shared->mutex);
        shared->address = std::move(address);
        shared->done = true;
        shared->changed.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    shared->changed.wait_for(lock, bound, [&] { return shared->done || shared->aborted; });
    if (!shared->done || shared->aborted || !shared->address || !IsDotted(*shared->address))
        return std::nullopt;
    return shared->address;
}

void ServerLookup::Abort()
{
    std::lock_guard lock(shared_->mutex);
    shared_->aborted = true;
    shared_->changed.notify_all();
}

} // namespace plendoro
