#pragma once
// Windows drops the keys that a program sends to a window of a process at a
// higher integrity level, without an error. After a press in a key mode this
// looks at the process with the focus and tells the user, once per process.
#include <cstdint>
#include <vector>

#include "platform/Notifier.h"
#include "platform/ProcessIntegrity.h"
#include "platform/SupportLog.h"

namespace brelkin {

class ElevatedTargetCheck {
public:
    ElevatedTargetCheck(IProcessIntegrity& integrity, ISupportLog& log, INotifier& notifier)
        : m_integrity(integrity), m_log(log), m_notifier(notifier) {}

    // True when the focus belongs to a process above this one.
    bool CheckKeyTarget();

private:
    IProcessIntegrity& m_integrity;
    ISupportLog& m_log;
    INotifier& m_notifier;
    std::vector<uint32_t> m_reported;  // process ids already named to the user
};

}  // namespace brelkin
