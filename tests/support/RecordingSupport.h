#pragma once
// The support log and the notifier as recordings, for tests of the code that
// reports through them.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Notifier.h"
#include "platform/SupportLog.h"
#include "support/Utf8.h"

namespace brelkin::test {

class RecordingSupportLog final : public ISupportLog {
public:
    std::vector<std::string> lines;
    void Write(std::string_view event) override { lines.emplace_back(event); }
    bool Has(std::string_view part) const {
        for (const auto& line : lines)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }
};

class RecordingNotifier final : public INotifier {
public:
    std::vector<std::string> texts;  // as UTF-8, for readable failures
    void Notify(std::u16string_view text) override { texts.push_back(ToUtf8(text)); }
};

}  // namespace brelkin::test
