#pragma once
// What decides whether Windows lets Brelkin's keys reach the window with the
// focus: the integrity levels of that window's process and of Brelkin.
#include <cstdint>
#include <string>

namespace brelkin {

class IProcessIntegrity {
public:
    virtual ~IProcessIntegrity() = default;
    // The process of the window with the keyboard focus (or of the
    // foreground window); 0 when there is none.
    virtual uint32_t FocusProcessId() = 0;
    // The mandatory-label RID (0x2000 medium, 0x3000 high, ...) of the
    // process; processId 0 is this process. 0 when it cannot be read.
    virtual uint32_t IntegrityLevel(uint32_t processId) = 0;
    // The full path of the process's program file; empty when unknown.
    virtual std::u16string ProgramFile(uint32_t processId) = 0;
};

}  // namespace brelkin
