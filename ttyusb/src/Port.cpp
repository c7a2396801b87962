#include "Port.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace plendoro::ttyusb {

namespace {

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t DeadlineAfter(unsigned ms)
{
    return ms ? NowMs() + ms : 0;
}

speed_t StandardSpeed(unsigned baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

Status Failed()
{
    return errno == EINVAL ? kInvalidParameter : kIoError;
}

// A bridge that refuses low latency (or a pseudo-terminal, which has no
// serial settings at all) is used as it is.
void AskLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

std::unique_ptr<Port> Port::Open(const std::string& node, int& error)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    // Only a flag this call set is cleared: after a failed flock the flag
    // may well be the holder's.
    bool exclusive = false;
    auto fail = [&] {
        error = errno;
        if (exclusive)
            ioctl(fd, TIOCNXCL);
        ::close(fd); // drops the lock with it
        return nullptr;
    };
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0)
        return fail();
    exclusive = true;

    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return fail();
    cfmakeraw(&t);
    // HUPCL would drop DTR and RTS on close; a board may wire them to its
    // reset. CLOCAL: the bridge has no carrier to wait for.
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &t) != 0)
        return fail();
    AskLowLatency(fd);
    // A new handle starts with empty queues, as the vendor's does.
    tcflush(fd, TCIOFLUSH);

    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0)
        return fail();
    return std::unique_ptr<Port>(new Port(fd, wake));
}

Port::~Port()
{
    // The exclusive flag belongs to the tty, not to this descriptor: on a
    // port whose other end stays open it would keep everyone else out.
    ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    ::close(fd_);
    ::close(wake_);
}

Status Port::SetBaudRate(unsigned baud)
{
    if (baud < 183 || baud > 3000000)
        return kInvalidBaudRate;
    const speed_t speed = StandardSpeed(baud);
    if (speed == B0)
        return SetCustomBaudRate(fd_, baud) ? kOk : kInvalidBaudRate;
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return kIoError;
    cfsetspeed(&t, speed);
    return tcsetattr(fd_, TCSANOW, &t) == 0 ? kOk : kInvalidBaudRate;
}

Status Port::SetDataCharacteristics(unsigned bits, unsigned stopBits, unsigned parity)
{
    if ((bits != 7 && bits != 8) || (stopBits != 0 && stopBits != 2) || parity > 4)
        return kInvalidParameter;
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return kIoError;
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
    t.c_cflag |= bits == 7 ? CS7 : CS8;
    if (stopBits == 2)
        t.c_cflag |= CSTOPB;
    // none, odd, even, mark, space
    static const tcflag_t kParity[5] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
    t.c_cflag |= kParity[parity];
    return tcsetattr(fd_, TCSANOW, &t) == 0 ? kOk : Failed();
}

Status Port::SetFlowControl(unsigned flow, std::uint8_t xon, std::uint8_t xoff)
{
    constexpr unsigned kNone = 0, kRtsCts = 0x0100, kDtrDsr = 0x0200, kXonXoff = 0x0400;
    if (flow != kNone && flow != kRtsCts && flow != kDtrDsr && flow != kXonXoff)
        return kInvalidParameter;
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return kIoError;
    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // The tty layer has no DTR/DSR handshake; such a port runs without one.
    if (flow == kRtsCts)
        t.c_cflag |= CRTSCTS;
    if (flow == kXonXoff) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = xon;
        t.c_cc[VSTOP] = xoff;
    }
    return tcsetattr(fd_, TCSANOW, &t) == 0 ? kOk : Failed();
}

void Port::SetTimeouts(unsigned readMs, unsigned writeMs)
{
    readMs_ = readMs;
    writeMs_ = writeMs;
}

Status Port::SetRts()
{
    const int bits = TIOCM_RTS;
    return ioctl(fd_, TIOCMBIS, &bits) == 0 ? kOk : kIoError;
}

int Port::WaitFor(short events, std::int64_t deadlineMs) const
{
    for (;;) {
        int timeout = -1;
        if (deadlineMs) {
            const std::int64_t left = deadlineMs - NowMs();
            if (left <= 0)
                return 0;
            timeout = static_cast<int>(left);
        }
        pollfd fds[2] = {{fd_, events, 0}, {wake_, POLLIN, 0}};
        const int n = poll(fds, 2, timeout);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || fds[1].revents)
            return -1;
        // The tty is hung up: unplugged, or the other end of a
        // pseudo-terminal closed.
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return -1;
        if (n > 0)
            return 1;
    }
}

Status Port::Read(std::uint8_t* buffer, std::size_t count, std::size_t& got)
{
    got = 0;
    const std::int64_t deadline = DeadlineAfter(readMs_);
    while (got < count) {
        const ssize_t n = ::read(fd_, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return kIoError;
        // Nothing queued (a raw tty without VMIN answers 0 then).
        const int ready = WaitFor(POLLIN, deadline);
        if (ready == 0)
            return kOk;
        if (ready < 0) {
            // What the bridge had already delivered is still handed out.
            ssize_t rest = 0;
            while (got < count && (rest = ::read(fd_, buffer + got, count - got)) > 0)
                got += static_cast<std::size_t>(rest);
            return kIoError;
        }
    }
    return kOk;
}

Status Port::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& sent)
{
    sent = 0;
    const std::int64_t deadline = DeadlineAfter(writeMs_);
    while (sent < count) {
        const ssize_t n = ::write(fd_, bytes + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return kIoError;
        const int ready = WaitFor(POLLOUT, deadline);
        if (ready == 0)
            return kOk; // the timeout ended: the caller sees how much went
        if (ready < 0)
            return kIoError;
    }
    return kOk;
}

Status Port::Queued(std::uint32_t* received, std::uint32_t* unsent) const
{
    int in = 0, out = 0;
    if (received && ioctl(fd_, FIONREAD, &in) != 0)
        return kIoError;
    if (unsent && ioctl(fd_, TIOCOUTQ, &out) != 0)
        return kIoError;
    if (received)
        *received = static_cast<std::uint32_t>(in);
    if (unsent)
        *unsent = static_cast<std::uint32_t>(out);
    return kOk;
}

Status Port::Purge(bool received, bool unsent)
{
    if (!received && !unsent)
        return kOk;
    const int which = received && unsent ? TCIOFLUSH : received ? TCIFLUSH : TCOFLUSH;
    return tcflush(fd_, which) == 0 ? kOk : kIoError;
}

void Port::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
}

} // namespace plendoro::ttyusb
