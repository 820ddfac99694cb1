#pragma once
// The support log over its store: each event becomes one time-stamped line,
// and the current file never grows past the cap. Before a line would pass it
// the file becomes the older one, so at most twice the cap is kept on disk.
// Where the rotation fails, the current file is emptied instead (and says so);
// where that fails too, the line is lost rather than the cap.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SupportLog.h"

namespace brelkin {

constexpr uint64_t SupportLogCap = 256 * 1024;

class RotatingSupportLog final : public ISupportLog {
public:
    explicit RotatingSupportLog(ILogStore& store, uint64_t cap = SupportLogCap)
        : m_store(store), m_cap(cap) {}

    void Write(std::string_view event) override;

private:
    // The time-stamped line with its line end, cut to fit the cap.
    std::string Line(std::string_view event);

    ILogStore& m_store;
    uint64_t m_cap;
};

}  // namespace brelkin
