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
// Changes with every change of a message or of the watch block. The host's
// first report is a Hello naming it; the Hello's kind and layout never change.
constexpr uint32_t ProtocolVersion = 3;

enum class Kind : uint16_t {
    // Brelkin to host
    Open = 1,      // u8 class, u32 base period, u8 every tick, u32 open number: open and poll that class
    Close = 2,     // u8 class: close that class's camera
    Quit = 3,      // close everything and end
    Settings = 4,  // u32 base period, u8 every tick: from now on
    // Host to Brelkin
    LoadReport = 16,  // u32 open number, then what loading the library found, as LibraryLoadReport
    Opened = 17,      // u32 open number, u8 class, u8 OpenOutcome
    Reading = 18,     // u8 ButtonReading, u32 period the tick ran at
    Hello = 19,       // u32 protocol version: the host's first report
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
    // A window message of the library's, in the host's DispatchMessageW: the
    // poll call's limit.
    WindowMessage,
    // FreeLibrary after the destructor: with CloseInterface and the destructor,
    // the open's limit.
    Unload,
    Count,
};
const char* HostCallName(HostCall call);

struct Message {
    Kind kind{};
    CameraClass cameraClass = CameraClass::Wdm;
    uint32_t period = 0;
    // Every tick's reading (joystick mode writes its record on each), or
    // only the ticks that can change what Brelkin does: a reading other than
    // the last one, every Down (the repeat), a new period.
    bool everyTick = true;
    OpenOutcome outcome = OpenOutcome::NoLibrary;
    ButtonReading reading = ButtonReading::NoReading;
    LibraryLoadReport report;
    // Open, LoadReport, Opened: which open; the host returns Brelkin's number.
    uint32_t openNumber = 0;
    uint32_t version = 0;  // Hello; 0 for a first report that was no Hello
};

std::vector<uint8_t> EncodeOpen(CameraClass cameraClass, uint32_t basePeriod, bool everyTick, uint32_t openNumber);
std::vector<uint8_t> EncodeSettings(uint32_t basePeriod, bool everyTick);
std::vector<uint8_t> EncodeClose(CameraClass cameraClass);
std::vector<uint8_t> EncodeQuit();
std::vector<uint8_t> EncodeLoadReport(CameraClass cameraClass, const LibraryLoadReport& report,
                                      uint32_t openNumber);
std::vector<uint8_t> EncodeOpened(CameraClass cameraClass, OpenOutcome outcome, uint32_t openNumber);
std::vector<uint8_t> EncodeHello(uint32_t version = ProtocolVersion);
// Fixed size, for the host's tick: written without allocating.
constexpr size_t ReadingSize = HeaderSize + 5;
void EncodeReading(ButtonReading reading, uint32_t period, uint8_t (&out)[ReadingSize]);

// Takes whole messages off the front of a byte stream. A message that is not
// a well-formed one of a kind this side expects (an unknown kind, a field out
// of range, a string running past its message) is skipped by the size in its
// header and counted; where the header itself is unsound (a wrong magic, a
// size over MaxPayload) the bytes up to the next magic are dropped, so that
// the good messages behind it still arrive.
class MessageReader {
public:
    // hostSide: the host reads commands; Brelkin reads reports, and takes a
    // Hello first: any other first message comes out as a Hello of version 0.
    explicit MessageReader(bool hostSide) : m_hostSide(hostSide), m_greeted(hostSide) {}
    void Append(const uint8_t* bytes, size_t count);
    std::optional<Message> Next();
    uint32_t Rejected() const { return m_rejected; }
    // Rejections since the last message taken.
    uint32_t RejectedInARow() const { return m_inARow; }

private:
    void Reject(size_t dropBytes);

    bool m_hostSide;
    bool m_greeted;
    std::vector<uint8_t> m_buffer;
    uint32_t m_rejected = 0;
    uint32_t m_inARow = 0;
};

// Decodes one payload; nullopt for anything unexpected.
std::optional<Message> DecodePayload(Kind kind, const uint8_t* payload, size_t size, bool hostSide);

// The watch block. The host publishes the camera call it is in and when it
// began as one 64-bit word, written whole (an interlocked exchange, also in
// the x86 host) and read whole: the start in awake milliseconds
// (QueryUnbiasedInterruptTime, which every process shares and which stands
// still while the computer sleeps) shifted left by 8, the HostCall below.
// An open's calls (loading, the constructor, OpenInterface) carry the start of
// the open, as they share one limit. The host fills the crash record before
// it ends on an exception.
constexpr uint32_t WatchMagic = 0x48435742;  // "BWCH"
constexpr size_t CrashModuleChars = 64;
constexpr uint64_t PackCall(HostCall call, uint64_t startedMs) {
    return (startedMs << 8) | (static_cast<uint64_t>(call) & 0xFF);
}
constexpr uint32_t CallOf(uint64_t word) { return static_cast<uint32_t>(word & 0xFF); }
constexpr uint64_t StartOf(uint64_t word) { return word >> 8; }
struct WatchBlock {
    uint32_t magic;
    // 1 while a top-level window that the library created or activated during
    // a call is open (seen by the host's WH_CBT hook): the call waits for the
    // user, its clock stands still, and Brelkin does not judge it. The host
    // publishes the call again, its start moved on by the time the window was
    // open, when the window is gone.
    volatile uint32_t libraryWindow;
    volatile uint64_t callWord;       // PackCall(call, start)
    volatile uint32_t crashed;        // 1 once the record below is complete
    uint32_t crashCode;               // the exception code
    uint32_t crashCall;               // HostCall
    uint32_t reserved;
    uint64_t crashOffset;             // from the start of the faulting module
    char16_t crashModule[CrashModuleChars];  // its file name, terminated
};
// One layout for both bitnesses: an x86 Brelkin reads an x64 host's block.
static_assert(sizeof(WatchBlock) == 168, "one layout for both bitnesses");
static_assert(offsetof(WatchBlock, callWord) == 8, "the call word is 8-byte aligned in both bitnesses");
static_assert(offsetof(WatchBlock, crashOffset) == 32 && offsetof(WatchBlock, crashModule) == 40,
              "one layout for both bitnesses");

// The host's exit codes that mean something to Brelkin.
constexpr uint32_t HostExitCrashed = 0xC0DE0001;
constexpr uint32_t HostExitBadCommandLine = 2;

}  // namespace brelkin::hostwire
