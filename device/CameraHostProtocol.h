#pragma once
// The messages between Brelkin and its camera host, over two anonymous pipes,
// and the watch block, an unnamed shared section that the host writes and
// Brelkin only reads. Both programs include this header; both builds of the
// host (x86, x64) and of Brelkin use the same layouts: fixed-width fields,
// little-endian, no pointers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/ButtonPoll.h"
#include "platform/CameraLibrary.h"

namespace brelkin::hostwire {

constexpr uint32_t Magic = 0x4B4C5242;  // "BRLK"
constexpr size_t HeaderSize = 8;        // magic, kind, payload size
constexpr size_t MaxPayload = 4096;

enum class Kind : uint16_t {
    // Brelkin to host
    Open = 1,   // u8 class, u32 base period: open that class's camera and poll it
    Close = 2,  // u8 class: close that class's camera
    Quit = 3,   // close everything and end
    // Host to Brelkin
    LoadReport = 16,  // what loading the library found, as LibraryLoadReport
    Opened = 17,      // u8 class, u8 OpenOutcome
    Reading = 18,     // u8 ButtonReading, u32 period now
};

enum class OpenOutcome : uint8_t {
    NoLibrary = 0,     // the library or one of its members could not be bound
    OpenFailed = 1,    // OpenInterface returned 0
    NotValid = 2,      // opened, IsInterfaceValid 0
    Answered = 3,
};

// The camera call the host is in, for the watchdog and the crash record.
enum class HostCall : uint32_t {
    None = 0,
    LoadLibrary,
    Constructor,
    OpenInterface,
    IsInterfaceValid,
    GetPIO,
    IsButtonPressed,
    CloseInterface,
    Destructor,
    Count,
};
const char* HostCallName(HostCall call);

struct Message {
    Kind kind{};
    CameraClass cameraClass = CameraClass::Wdm;
    uint32_t period = 0;
    OpenOutcome outcome = OpenOutcome::NoLibrary;
    ButtonReading reading = ButtonReading::NoReading;
    LibraryLoadReport report;
};

std::vector<uint8_t> EncodeOpen(CameraClass cameraClass, uint32_t basePeriod);
std::vector<uint8_t> EncodeClose(CameraClass cameraClass);
std::vector<uint8_t> EncodeQuit();
std::vector<uint8_t> EncodeLoadReport(CameraClass cameraClass, const LibraryLoadReport& report);
std::vector<uint8_t> EncodeOpened(CameraClass cameraClass, OpenOutcome outcome);
// Fixed size, for the host's tick: written without allocating.
constexpr size_t ReadingSize = HeaderSize + 5;
void EncodeReading(ButtonReading reading, uint32_t period, uint8_t (&out)[ReadingSize]);

// Takes whole messages off the front of a byte stream. Anything that is not a
// well-formed message of a kind this side expects (a wrong magic, an unknown
// kind, a size out of range, a field out of range, a string running past its
// message) is dropped with everything buffered, and counted.
class MessageReader {
public:
    // hostSide: the host reads commands; Brelkin reads reports.
    explicit MessageReader(bool hostSide) : m_hostSide(hostSide) {}
    void Append(const uint8_t* bytes, size_t count);
    std::optional<Message> Next();
    uint32_t Rejected() const { return m_rejected; }

private:
    bool m_hostSide;
    std::vector<uint8_t> m_buffer;
    uint32_t m_rejected = 0;
};

// Decodes one payload; nullopt for anything unexpected.
std::optional<Message> DecodePayload(Kind kind, const uint8_t* payload, size_t size, bool hostSide);

// The watch block. The host sets `call` and `callStartedMs` (GetTickCount64,
// which every process shares) around every camera call, and fills the crash
// record before it ends on an exception.
constexpr uint32_t WatchMagic = 0x48435742;  // "BWCH"
constexpr size_t CrashModuleChars = 64;
struct WatchBlock {
    uint32_t magic;
    volatile uint32_t call;           // HostCall
    volatile uint64_t callStartedMs;
    volatile uint32_t crashed;        // 1 once the record below is complete
    uint32_t crashCode;               // the exception code
    uint32_t crashCall;               // HostCall
    uint32_t reserved;
    uint64_t crashOffset;             // from the start of the faulting module
    char16_t crashModule[CrashModuleChars];  // its file name, terminated
};
static_assert(sizeof(WatchBlock) == 168, "one layout for both bitnesses");

// The host's exit codes that mean something to Brelkin.
constexpr uint32_t HostExitCrashed = 0xC0DE0001;
constexpr uint32_t HostExitBadCommandLine = 2;

}  // namespace brelkin::hostwire
