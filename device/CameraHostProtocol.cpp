#include "device/CameraHostProtocol.h"

namespace brelkin::hostwire {

namespace {

// Strings travel as a u16 count of UTF-16 units, then the units; no string
// of the load report is longer than a long path.
constexpr size_t MaxStringUnits = 1024;

class Writer {
public:
    explicit Writer(Kind kind) {
        Put32(Magic);
        Put16(static_cast<uint16_t>(kind));
        Put16(0);  // the payload size, set by Done
    }
    void Put8(uint8_t v) { m_bytes.push_back(v); }
    void Put16(uint16_t v) {
        Put8(static_cast<uint8_t>(v));
        Put8(static_cast<uint8_t>(v >> 8));
    }
    void Put32(uint32_t v) {
        Put16(static_cast<uint16_t>(v));
        Put16(static_cast<uint16_t>(v >> 16));
    }
    void PutText(const std::u16string& text) {
        const size_t n = text.size() < MaxStringUnits ? text.size() : MaxStringUnits;
        Put16(static_cast<uint16_t>(n));
        for (size_t i = 0; i < n; ++i) Put16(static_cast<uint16_t>(text[i]));
    }
    std::vector<uint8_t> Done() {
        const size_t payload = m_bytes.size() - HeaderSize;
        m_bytes[6] = static_cast<uint8_t>(payload);
        m_bytes[7] = static_cast<uint8_t>(payload >> 8);
        return std::move(m_bytes);
    }

private:
    std::vector<uint8_t> m_bytes;
};

class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    bool Get8(uint8_t& v) {
        if (m_at + 1 > m_size) return false;
        v = m_bytes[m_at++];
        return true;
    }
    bool Get16(uint16_t& v) {
        uint8_t lo = 0, hi = 0;
        if (!Get8(lo) || !Get8(hi)) return false;
        v = static_cast<uint16_t>(lo | (hi << 8));
        return true;
    }
    bool Get32(uint32_t& v) {
        uint16_t lo = 0, hi = 0;
        if (!Get16(lo) || !Get16(hi)) return false;
        v = lo | (static_cast<uint32_t>(hi) << 16);
        return true;
    }
    bool GetText(std::u16string& text) {
        uint16_t n = 0;
        if (!Get16(n) || n > MaxStringUnits) return false;
        text.clear();
        for (uint16_t i = 0; i < n; ++i) {
            uint16_t unit = 0;
            if (!Get16(unit)) return false;
            // A terminator inside a path would cut what the log shows.
            if (unit == 0) return false;
            text.push_back(static_cast<char16_t>(unit));
        }
        return true;
    }
    bool AtEnd() const { return m_at == m_size; }

private:
    const uint8_t* m_bytes;
    size_t m_size;
    size_t m_at = 0;
};

bool ClassFrom(uint8_t v, CameraClass& out) {
    if (v > 1) return false;
    out = v == 0 ? CameraClass::Wdm : CameraClass::Bda;
    return true;
}

uint8_t ClassByte(CameraClass c) { return c == CameraClass::Wdm ? 0 : 1; }

bool IsReportKind(Kind k) {
    return k == Kind::LoadReport || k == Kind::Opened || k == Kind::Reading || k == Kind::Hello;
}
bool IsCommandKind(Kind k) {
    return k == Kind::Open || k == Kind::Close || k == Kind::Quit || k == Kind::Settings;
}

}  // namespace

const char* HostCallName(HostCall call) {
    switch (call) {
    case HostCall::None: return "no camera call";
    case HostCall::LoadLibrary: return "loading the library";
    case HostCall::Constructor: return "the constructor";
    case HostCall::OpenInterface: return "OpenInterface";
    case HostCall::IsInterfaceValid: return "IsInterfaceValid";
    case HostCall::GetPIO: return "GetPIO";
    case HostCall::IsButtonPressed: return "IsButtonPressed";
    case HostCall::CloseInterface: return "CloseInterface";
    case HostCall::Destructor: return "the destructor";
    case HostCall::WindowMessage: return "a window message of the camera library";
    case HostCall::Unload: return "unloading the library";
    case HostCall::Count: break;
    }
    return "an unknown call";
}

std::vector<uint8_t> EncodeOpen(CameraClass cameraClass, uint32_t basePeriod, bool everyTick, uint32_t openNumber) {
    Writer w(Kind::Open);
    w.Put8(ClassByte(cameraClass));
    w.Put32(basePeriod);
    w.Put8(everyTick ? 1 : 0);
    w.Put32(openNumber);
    return w.Done();
}

std::vector<uint8_t> EncodeHello(uint32_t version) {
    Writer w(Kind::Hello);
    w.Put32(version);
    return w.Done();
}

std::vector<uint8_t> EncodeSettings(uint32_t basePeriod, bool everyTick) {
    Writer w(Kind::Settings);
    w.Put32(basePeriod);
    w.Put8(everyTick ? 1 : 0);
    return w.Done();
}

std::vector<uint8_t> EncodeClose(CameraClass cameraClass) {
    Writer w(Kind::Close);
    w.Put8(ClassByte(cameraClass));
    return w.Done();
}

std::vector<uint8_t> EncodeQuit() { return Writer(Kind::Quit).Done(); }

std::vector<uint8_t> EncodeLoadReport(CameraClass cameraClass, const LibraryLoadReport& r, uint32_t openNumber) {
    Writer w(Kind::LoadReport);
    w.Put32(openNumber);
    w.Put8(ClassByte(cameraClass));
    w.Put8(static_cast<uint8_t>(r.status));
    w.Put8(r.attempted ? 1 : 0);
    w.Put8(static_cast<uint8_t>(r.libraryBits));
    w.Put8(static_cast<uint8_t>(r.programBits));
    w.Put32(r.errorCode);
    w.PutText(r.library);
    w.PutText(r.path);
    w.PutText(r.programFolder);
    w.PutText(r.systemFolder);
    w.PutText(r.errorText);
    w.PutText(std::u16string(r.member.begin(), r.member.end()));
    return w.Done();
}

std::vector<uint8_t> EncodeOpened(CameraClass cameraClass, OpenOutcome outcome, uint32_t openNumber) {
    Writer w(Kind::Opened);
    w.Put32(openNumber);
    w.Put8(ClassByte(cameraClass));
    w.Put8(static_cast<uint8_t>(outcome));
    return w.Done();
}

void EncodeReading(ButtonReading reading, uint32_t period, uint8_t (&out)[ReadingSize]) {
    const uint8_t bytes[ReadingSize] = {
        static_cast<uint8_t>(Magic), static_cast<uint8_t>(Magic >> 8), static_cast<uint8_t>(Magic >> 16),
        static_cast<uint8_t>(Magic >> 24), static_cast<uint8_t>(Kind::Reading), 0, 5, 0,
        static_cast<uint8_t>(reading), static_cast<uint8_t>(period), static_cast<uint8_t>(period >> 8),
        static_cast<uint8_t>(period >> 16), static_cast<uint8_t>(period >> 24)};
    for (size_t i = 0; i < ReadingSize; ++i) out[i] = bytes[i];
}

std::optional<Message> DecodePayload(Kind kind, const uint8_t* payload, size_t size, bool hostSide) {
    if (hostSide ? !IsCommandKind(kind) : !IsReportKind(kind)) return std::nullopt;
    Reader r(payload, size);
    Message m;
    m.kind = kind;
    uint8_t b = 0;
    switch (kind) {
    case Kind::Open:
        if (!r.Get8(b) || !ClassFrom(b, m.cameraClass) || !r.Get32(m.period) || !r.Get8(b) || b > 1 ||
            !r.Get32(m.openNumber))
            return std::nullopt;
        m.everyTick = b != 0;
        break;
    case Kind::Settings:
        if (!r.Get32(m.period) || !r.Get8(b) || b > 1) return std::nullopt;
        m.everyTick = b != 0;
        break;
    case Kind::Close:
        if (!r.Get8(b) || !ClassFrom(b, m.cameraClass)) return std::nullopt;
        break;
    case Kind::Quit: break;
    case Kind::Hello:
        if (!r.Get32(m.version) || m.version == 0) return std::nullopt;
        break;
    case Kind::Opened:
        if (!r.Get32(m.openNumber) || !r.Get8(b) || !ClassFrom(b, m.cameraClass) || !r.Get8(b) || b > 3) return std::nullopt;
        m.outcome = static_cast<OpenOutcome>(b);
        break;
    case Kind::Reading:
        if (!r.Get8(b) || b > 3 || !r.Get32(m.period)) return std::nullopt;
        m.reading = static_cast<ButtonReading>(b);
        break;
    case Kind::LoadReport: {
        uint8_t status = 0, attempted = 0, libraryBits = 0, programBits = 0;
        std::u16string member;
        LibraryLoadReport& rep = m.report;
        if (!r.Get32(m.openNumber) || !r.Get8(b) || !ClassFrom(b, m.cameraClass) || !r.Get8(status) ||
            status > static_cast<uint8_t>(LibraryLoadStatus::MemberMissing) || !r.Get8(attempted) ||
            attempted > 1 || !r.Get8(libraryBits) || !r.Get8(programBits) || !r.Get32(rep.errorCode) ||
            !r.GetText(rep.library) || !r.GetText(rep.path) || !r.GetText(rep.programFolder) ||
            !r.GetText(rep.systemFolder) || !r.GetText(rep.errorText) || !r.GetText(member))
            return std::nullopt;
        auto bitsOk = [](uint8_t bits) { return bits == 0 || bits == 32 || bits == 64; };
        if (!bitsOk(libraryBits) || !bitsOk(programBits)) return std::nullopt;
        // The library is one of the two names; anything else is not ours.
        const std::u16string expected = m.cameraClass == CameraClass::Wdm ? u"emDLL.dll" : u"BDADLL.dll";
        if (rep.library != expected) return std::nullopt;
        for (char16_t c : member)
            if (c < 0x20 || c > 0x7E) return std::nullopt;
        rep.status = static_cast<LibraryLoadStatus>(status);
        rep.attempted = attempted != 0;
        rep.libraryBits = libraryBits;
        rep.programBits = programBits;
        rep.member.assign(member.begin(), member.end());
        break;
    }
    default: return std::nullopt;
    }
    if (!r.AtEnd()) return std::nullopt;
    return m;
}

void MessageReader::Append(const uint8_t* bytes, size_t count) {
    // More than a few messages' worth unread means the stream is not ours.
    if (m_buffer.size() + count > 4 * (HeaderSize + MaxPayload)) {
        m_buffer.clear();
        ++m_rejected;
        ++m_inARow;
        return;
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
}

void MessageReader::Reject(size_t dropBytes) {
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(dropBytes));
    ++m_rejected;
    ++m_inARow;
}

std::optional<Message> MessageReader::Next() {
    while (m_buffer.size() >= HeaderSize) {
        const uint8_t* h = m_buffer.data();
        const uint32_t magic = h[0] | (h[1] << 8) | (h[2] << 16) | (static_cast<uint32_t>(h[3]) << 24);
        const uint16_t kind = static_cast<uint16_t>(h[4] | (h[5] << 8));
        const size_t size = static_cast<size_t>(h[6] | (h[7] << 8));
        if (magic != Magic || size > MaxPayload) {
            // The framing is lost here: drop up to the next magic, which
            // begins the next message a sound sender wrote.
            size_t next = 1;
            while (next + 4 <= m_buffer.size() &&
                   !(h[next] == static_cast<uint8_t>(Magic) && h[next + 1] == static_cast<uint8_t>(Magic >> 8) &&
                     h[next + 2] == static_cast<uint8_t>(Magic >> 16) &&
                     h[next + 3] == static_cast<uint8_t>(Magic >> 24)))
                ++next;
            // Up to three bytes at the end may begin a magic still arriving.
            if (next + 4 > m_buffer.size()) next = m_buffer.size() > 3 ? m_buffer.size() - 3 : m_buffer.size();
            Reject(next > 0 ? next : 1);
            continue;
        }
        if (m_buffer.size() < HeaderSize + size) return std::nullopt;
        std::optional<Message> m = DecodePayload(static_cast<Kind>(kind), h + HeaderSize, size, m_hostSide);
        if (!m_greeted) {
            // The first sound message decides the version: a host that opens
            // with anything but a Hello speaks another one.
            m_greeted = true;
            if (!m || m->kind != Kind::Hello) {
                m = Message{};
                m->kind = Kind::Hello;
                m->version = 0;
            }
        }
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(HeaderSize + size));
        if (m) {
            m_inARow = 0;
            return m;
        }
        ++m_rejected;
        ++m_inARow;
    }
    return std::nullopt;
}

}  // namespace brelkin::hostwire
