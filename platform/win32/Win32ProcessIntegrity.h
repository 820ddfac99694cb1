#pragma once
// The integrity levels from the processes' tokens.
#include <windows.h>

#include "platform/ProcessIntegrity.h"

namespace brelkin {

class Win32ProcessIntegrity final : public IProcessIntegrity {
public:
    uint32_t FocusProcessId() override;
    uint32_t IntegrityLevel(uint32_t processId) override;
    std::u16string ProgramFile(uint32_t processId) override;
};

}  // namespace brelkin
