#pragma once
// The support log shared by the frame's thread and the chord sender's: one
// line at a time reaches the log, so that lines are neither interleaved nor
// lost in a rotation.
#include <mutex>

#include "platform/SupportLog.h"

namespace brelkin {

class LockedSupportLog final : public ISupportLog {
public:
    explicit LockedSupportLog(ISupportLog& log) : m_log(log) {}
    void Write(std::string_view event) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_log.Write(event);
    }

private:
    ISupportLog& m_log;
    std::mutex m_mutex;
};

}  // namespace brelkin
