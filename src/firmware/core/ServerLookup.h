#pragma once
// The update server's address as the settings give it: a dotted IPv4
// address, or a host name resolved to one. A name is resolved on a thread of
// its own, so that an abort (the window closing) need not wait for a slow
// name server; the lookup finishes by itself and its answer is dropped.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace plendoro {

// A host name to one dotted IPv4 address; nullopt when it does not resolve.
using HostResolver = std::function<std::optional<std::string>(const std::string& name)>;
// The system's resolver (getaddrinfo, IPv4 only).
std::optional<std::string> ResolveIpv4(const std::string& name);
// Letters, digits and hyphens in dot-separated labels of 1 to 63
// characters, 253 at most in all, not all digits.
bool IsHostName(const std::string& text);

class ServerLookup {
public:
    explicit ServerLookup(HostResolver resolver = ResolveIpv4);

    // The dotted address to connect to: a dotted address as it is, a host
    // name through the resolver within `bound`; nullopt for anything else,
    // a name that does not resolve in time, or an abort.
    std::optional<std::string> Resolve(const std::string& server, std::chrono::milliseconds bound);
    // From any thread: the wait in progress, and any later one, ends at once.
    void Abort();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        bool aborted = false;
        std::optional<std::string> address;
    };
    HostResolver resolver_;
    std::shared_ptr<Shared> shared_;
};

} // namespace plendoro
