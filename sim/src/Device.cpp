#include "Device.h"

#include "Blocks.h"
#include "Checksum.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace plsim {

namespace {

constexpr std::uint8_t kMagic[8] = {'H', 'D', 'R', 'V', '1', '.', '0', 0};
constexpr std::uint8_t kJunk = 0xA5;
// A CAN_TEST reply must fit the configurator's 5000-byte buffer, a 1-Wire
// reply its 1000-byte one.
constexpr std::size_t kMaxCanRecords = 180;
constexpr std::size_t kMaxOneWireRecords = 40;
// Progress lines are capped so that a long erase with a short report period
// does not queue an unbounded number of them.
constexpr long long kMaxEraseReports = 1000;

std::string Format(const char* format, auto... args)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

std::string Escape(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') out.push_back(char(c));
        else out += Format("\\x%02X", unsigned(c));
    }
    return out;
}

} // namespace

Device::Device(DeviceSetup s) : setup(std::move(s))
{
    FitBlocks(setup);
}

Nanos Device::ByteTime(const Timing& timing) const
{
    if (!timing.wire || bridge.baud == 0) return Nanos(0);
    return Nanos(10'000'000'000LL / bridge.baud); // 8N1: ten bits a byte
}

TimePoint Device::Layout::ByteAt(std::size_t i, Nanos byteTime) const
{
    if (i < firstLength) return first + byteTime * (long long)(i + 1);
    return second + byteTime * (long long)(i - firstLength + 1);
}

Device::Layout Device::Lay(const Outgoing& m, TimePoint wireFree, Nanos byteTime)
{
    Layout l;
    l.first = std::max(m.earliest, wireFree);
    l.firstLength = m.splitAt ? m.splitAt : m.bytes.size();
    l.second = l.first + byteTime * (long long)l.firstLength + m.splitGap;
    return l;
}

void Device::Commit(const Outgoing& m, Nanos byteTime)
{
    const Layout l = Lay(m, rxFree_, byteTime);
    for (std::size_t i = 0; i < m.bytes.size(); ++i) {
        const TimePoint t = l.ByteAt(i, byteTime);
        // With nobody holding the device open the bytes still take their
        // time on the wire, but the bridge throws them away.
        if (handle) rx_.push_back({m.bytes[i], t});
        rxFree_ = std::max(rxFree_, t);
    }
}

void Device::Advance(TimePoint now, const Timing& timing)
{
    now_ = now;
    timing_ = timing;
    if ((inPacket_ || drain_ > 0) && haveInput_ && now - lastInput_ > timing.packetTimeout) {
        if (inPacket_) log.push_back("BAD incomplete");
        ResetParser();
    }
    const Nanos bt = ByteTime(timing);
    while (!pending_.empty() && Lay(pending_.front(), rxFree_, bt).first <= now) {
        Commit(pending_.front(), bt);
        pending_.pop_front();
    }
}

std::size_t Device::Arrived(TimePoint now) const
{
    std::size_t n = 0;
    while (n < rx_.size() && rx_[n].at <= now) ++n;
    return n;
}

std::optional<TimePoint> Device::WhenAvailable(std::size_t count, const Timing& timing) const
{
    if (count == 0) return TimePoint{};
    if (count <= rx_.size()) return rx_[count - 1].at;
    std::size_t remaining = count - rx_.size();
    const Nanos bt = ByteTime(timing);
    TimePoint wireFree = rxFree_;
    for (const Outgoing& m : pending_) {
        const Layout l = Lay(m, wireFree, bt);
        const std::size_t n = m.bytes.size();
        if (remaining <= n) return l.ByteAt(remaining - 1, bt);
        remaining -= n;
        if (n) wireFree = std::max(wireFree, l.ByteAt(n - 1, bt));
    }
    return std::nullopt;
}

std::size_t Device::Take(std::uint8_t* out, std::size_t count, TimePoint now)
{
    const std::size_t n = std::min(count, Arrived(now));
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = rx_.front().value;
        rx_.pop_front();
    }
    return n;
}

std::size_t Device::InFlightToDevice(TimePoint now, const Timing& timing) const
{
    const Nanos bt = ByteTime(timing);
    if (bt.count() == 0 || inFree_ <= now) return 0;
    return std::size_t((inFree_ - now + bt - Nanos(1)) / bt);
}

void Device::HostWrite(const std::uint8_t* bytes, std::size_t count, TimePoint now, const Timing& timing)
{
    Advance(now, timing);
    if (count == 0) return;
    const Nanos bt = ByteTime(timing);
    // Advance has already given up on a packet the silence before this
    // write ended.
    const TimePoint start = std::max(now, inFree_);
    inFree_ = start + bt * (long long)count;
    lastInput_ = inFree_;
    haveInput_ = true;
    Parse(bytes, count, start, bt);
}

void Device::Opened(std::shared_ptr<HandleState> h, TimePoint now, const Timing& timing)
{
    Advance(now, timing);
    rx_.clear();
    handle = std::move(h);
}

void Device::DropUndelivered()
{
    rx_.clear();
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), [](const Outgoing& m) { return m.reply; }),
                   pending_.end());
    ResetParser();
}

void Device::PurgeArrived(TimePoint now)
{
    while (!rx_.empty() && rx_.front().at <= now) rx_.pop_front();
}

void Device::Unplug(TimePoint now)
{
    if (!setup.plugged) return;
    setup.plugged = false;
    if (handle) {
        handle->dead = true;
        for (const RxByte& b : rx_)
            if (b.at <= now) handle->leftover.push_back(b.value);
        handle->device.reset();
        handle.reset();
    }
    rx_.clear();
    pending_.clear();
    ResetParser();
    haveInput_ = false;
    rxFree_ = inFree_ = TimePoint{};
    // Power is gone: the bridge forgets its settings, the firmware its
    // running services.
    bridge = BridgeSettings{};
    canStarted_ = canRunning_ = false;
    calibrationEnd_ = TimePoint{};
}

void Device::Plug()
{
    setup.plugged = true;
}

void Device::ResetParser()
{
    inPacket_ = false;
    partial_.clear();
    drain_ = 0;
}

void Device::Send(std::vector<std::uint8_t> bytes, TimePoint earliest, bool reply)
{
    Outgoing m;
    m.earliest = earliest;
    m.bytes = std::move(bytes);
    m.reply = reply;
    const Faults& f = setup.faults;
    if (f.gluedBytes > 0) m.bytes.insert(m.bytes.end(), std::size_t(f.gluedBytes), kJunk);
    if (f.splitGapMs >= 0 && m.bytes.size() >= 2) {
        m.splitAt = m.bytes.size() / 2;
        m.splitGap = Millis(f.splitGapMs);
    }
    auto at = std::upper_bound(pending_.begin(), pending_.end(), earliest,
                               [](TimePoint t, const Outgoing& o) { return t < o.earliest; });
    pending_.insert(at, std::move(m));
}

void Device::SendText(const std::string& text, TimePoint earliest, bool reply)
{
    Send(std::vector<std::uint8_t>(text.begin(), text.end()), earliest, reply);
}

void Device::SendPacket(std::uint16_t id, const std::vector<std::uint8_t>& payload, TimePoint earliest)
{
    std::vector<std::uint8_t> p(kHeaderSize + payload.size(), 0);
    std::memcpy(p.data(), kMagic, 8);
    WriteLe16(&p[8], std::uint16_t(p.size()));
    WriteLe16(&p[10], kHeaderSize);
    WriteLe16(&p[12], id);
    std::copy(payload.begin(), payload.end(), p.begin() + kHeaderSize);
    std::uint16_t check = std::uint16_t(~Sum16(p.data(), p.size()));
    if (setup.faults.badChecksum) check ^= 0x5A5A;
    WriteLe16(&p[14], check);
    Send(std::move(p), earliest);
}

void Device::Parse(const std::uint8_t* bytes, std::size_t count, TimePoint start, Nanos byteTime)
{
    auto at = [&](std::size_t i) { return start + byteTime * (long long)(i + 1); };
    std::size_t i = 0;
    while (i < count && setup.plugged) {
        if (drain_ > 0) {
            const std::size_t k = std::min(drain_, count - i);
            drain_ -= k;
            i += k;
            continue;
        }
        if (!inPacket_) {
            // Text commands come one to a write, without a terminator.
            if (bytes[i] != 'H') {
                OnCommand(std::string(bytes + i, bytes + count), at(count - 1));
                return;
            }
            inPacket_ = true;
            partial_.clear();
        }
        const std::uint8_t b = bytes[i];
        const TimePoint t = at(i);
        ++i;
        partial_.push_back(b);
        const std::size_t k = partial_.size();
        if (k <= 8 && b != kMagic[k - 1]) {
            // Not a packet after all; the rest of this write is noise.
            ResetParser();
            Reject("header", 2, t);
            return;
        }
        if (k == std::size_t(kHeaderSize)) {
            OnHeader(t);
            if (!inPacket_) continue;
        }
        if (k >= std::size_t(kHeaderSize) && k == ReadLe16(&partial_[8])) OnPacket(t);
    }
}

void Device::OnHeader(TimePoint at)
{
    const std::uint16_t total = ReadLe16(&partial_[8]);
    const std::uint16_t headerLength = ReadLe16(&partial_[10]);
    std::string reason;
    std::uint32_t code = 0;
    if (headerLength != kHeaderSize) {
        reason = "header";
        code = 2;
    } else if (total < kHeaderSize || total > kLargestPacket) {
        reason = "length";
        code = 1;
    } else {
        return;
    }
    // Skip what the sender says follows, so its payload is not taken for
    // commands; silence ends the skipping early.
    ResetParser();
    drain_ = total > kHeaderSize ? total - kHeaderSize : 0;
    Reject(reason, code, at);
}

void Device::OnPacket(TimePoint at)
{
    std::vector<std::uint8_t> p = std::move(partial_);
    ResetParser();
    if (Sum16(p.data(), p.size()) != 0xFFFF) return Reject("checksum", 4, at);
    const std::uint16_t id = ReadLe16(&p[12]);
    const bool write = id >= 128 && id < kErrorId;
    const int block = write ? id - 128 : id;
    const int size = id < kErrorId ? BlockSize(block, setup.firmware) : 0;
    if (size == 0) return Reject("id " + std::to_string(id), 2, at);
    if (p.size() != std::size_t(kHeaderSize + (write ? size : 0))) return Reject("length", 1, at);

    const std::string line =
        write ? "WRITE " + std::to_string(block) + " " + std::to_string(size) : "READ " + std::to_string(block);
    if (!Admit(line)) return;
    const TimePoint when = at + timing_.turnaround;
    if (auto fault = setup.faults.errorBlocks.find(block); fault != setup.faults.errorBlocks.end()) {
        std::vector<std::uint8_t> code(4);
        WriteLe32(code.data(), fault->second);
        return SendPacket(kErrorId, code, when);
    }
    if (write) {
        setup.blocks[block].assign(p.begin() + kHeaderSize, p.end());
        SendPacket(id, {}, when);
        if (blockStored) blockStored();
    } else {
        SendPacket(id, setup.blocks[block], when);
    }
}

void Device::Reject(const std::string& reason, std::uint32_t code, TimePoint at)
{
    if (!Admit("BAD " + reason)) return;
    std::vector<std::uint8_t> payload(4);
    WriteLe32(payload.data(), code);
    SendPacket(kErrorId, payload, at + timing_.turnaround);
}

bool Device::Admit(const std::string& logLine)
{
    log.push_back(logLine);
    if (setup.foreign) return false;
    Faults& f = setup.faults;
    if (f.unplugAfter >= 0) {
        if (f.unplugAfter == 0) {
            f.unplugAfter = -1;
            Unplug(now_);
            return false;
        }
        --f.unplugAfter;
    }
    if (f.silent) return false;
    if (f.silentNext > 0) {
        --f.silentNext;
        return false;
    }
    if (f.alternate) {
        const bool answer = f.alternateAnswers;
        f.alternateAnswers = !answer;
        return answer;
    }
    return true;
}

void Device::OnCommand(std::string command, TimePoint at)
{
    // A terminal user's line end is forgiven; the configurator sends none.
    while (!command.empty() && (command.back() == '\r' || command.back() == '\n' || command.back() == '\0'))
        command.pop_back();
    if (!Admit("CMD " + Escape(command))) return;

    const TimePoint when = at + timing_.turnaround;
    const int fw = setup.firmware;
    const Faults& f = setup.faults;
    static constexpr std::string_view kOneWire = "1WIRE_SEARCH_";

    if (command == "FL_READ_VERSION$") {
        if (!f.versionSilent) SendText(Format("KVTW-%d.%02d", fw / 100, fw % 100), when);
    } else if (command == "GET_HVERSION") {
        if (fw >= 309 && !f.noHardwareVersion) Send({std::uint8_t(setup.hardware)}, when);
    } else if (command == "FL_ERASE_DATA") {
        if (fw >= 303) StartErase(when);
    } else if (command == "MMA_CALIBRATE") {
        if (f.calibrationRefused) {
            SendText("BUSY", when);
            return;
        }
        calibrationEnd_ = f.calibrationStuck ? TimePoint::max() : at + Millis(setup.calibrationMs);
        statePolls_ = 0;
        SendText("STARTED", when);
    } else if (command == "MMA_STATE") {
        if (f.calibrationSilentAfter >= 0 && statePolls_ >= f.calibrationSilentAfter) return;
        ++statePolls_;
        SendText(at < calibrationEnd_ ? "MMA_CALIBRATING" : "MMA_NORMAL", when);
    } else if (fw >= 300 && command == "START_CAN_SEARCH") {
        canStarted_ = canRunning_ = true;
        canStart_ = at;
        SendText("SEARCH_STARTED", when);
    } else if (fw >= 300 && command == "STOP_CAN_SEARCH") {
        if (canRunning_) {
            canRunning_ = false;
            canStop_ = at;
        }
        SendText("SEARCH_STOPPED", when);
    } else if (fw >= 300 && command == "CAN_TEST") {
        SendText(CanState(at), when);
    } else if (fw >= 305 && command.starts_with(kOneWire)) {
        const std::string family = command.substr(kOneWire.size());
        const bool digits = !family.empty() && family.size() <= 5 &&
                            std::all_of(family.begin(), family.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (family != "ALL" && !digits) return; // not a command this firmware knows
        const int code = family == "ALL" ? -1 : std::stoi(family);
        SendText(OneWireAddresses(code), when + Millis(setup.oneWireSearchMs));
    }
    // Anything else is not a command: the firmware keeps quiet.
}

void Device::StartErase(TimePoint when)
{
    // A repeated command starts the erase over.
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), [](const Outgoing& m) { return !m.reply; }),
                   pending_.end());
    SendText("ERASE_START", when);
    const Faults& f = setup.faults;
    const long long total = setup.eraseMs;
    const long long period = std::max<long long>(setup.eraseReportMs, total / kMaxEraseReports);
    if (f.eraseGluedAt >= 0) {
        // Two reports in one piece at the first report's time, the first
        // without its leading zeros.
        SendText(Format("ERASE_POS=%dERASE_POS=100", f.eraseGluedAt), when + Millis(std::min(period, total)), false);
        return;
    }
    // Fixed-width reports: the configurator judges at least 13 bytes.
    for (long long t = period; t < total; t += period) {
        const int percent = int(t * 100 / total);
        if (f.eraseStallAt >= 0 && percent > f.eraseStallAt) return; // the device stops reporting
        SendText(f.eraseGarbage ? std::string("ERASE_POS=???") : Format("ERASE_POS=%03d", percent), when + Millis(t),
                 false);
    }
    if (f.eraseStallAt >= 0) return;
    SendText("ERASE_POS=100", when + Millis(total), false);
}

std::string Device::CanState(TimePoint at) const
{
    std::string s = "CAN_STATE:";
    if (canStarted_) {
        const TimePoint heardUntil = canRunning_ ? at : canStop_;
        std::vector<CanFrame> frames;
        for (const CanFrame& f : setup.can)
            if (canStart_ + Millis(f.atMs) <= heardUntil) frames.push_back(f);
        std::stable_sort(frames.begin(), frames.end(),
                         [](const CanFrame& a, const CanFrame& b) { return a.atMs < b.atMs; });
        // One record per identifier, in the order first heard, with the
        // data last heard.
        std::vector<CanFrame> heard;
        for (const CanFrame& f : frames) {
            auto same = std::find_if(heard.begin(), heard.end(), [&](const CanFrame& h) { return h.id == f.id; });
            if (same != heard.end()) *same = f;
            else if (heard.size() < kMaxCanRecords) heard.push_back(f);
        }
        for (std::size_t i = 0; i < heard.size(); ++i) {
            if (i) s += ',';
            s += Format("%08X,%08X,%08X", unsigned(heard[i].id), unsigned(heard[i].dataA), unsigned(heard[i].dataB));
        }
    }
    return s + ";";
}

std::string Device::OneWireAddresses(int family) const
{
    std::string s = "1WARE_ADDR:";
    std::size_t n = 0;
    for (const OneWireAddress& a : setup.oneWire) {
        if ((family >= 0 && a[0] != family) || n == kMaxOneWireRecords) continue;
        s += Format("%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X;", a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        ++n;
    }
    return s;
}

} // namespace plsim
