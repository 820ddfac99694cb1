#pragma once
// The support log and the notifier as recordings, for tests of the code that
// reports through them.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Notifier.h"
#include "platform/ProcessIntegrity.h"
#include "platform/SupportLog.h"
#include "engine/Utf8.h"

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
    std::vector<std::string> texts;  // as logged (English), as UTF-8 for readable failures
    std::vector<std::string> shown;  // as shown, in the display language
    using INotifier::Notify;
    void Notify(std::u16string_view logged, std::u16string_view text) override {
        texts.push_back(ToUtf8(logged));
        shown.push_back(ToUtf8(text));
    }
};

// The log's files in memory. A rotation can be made to fail, as it does while
// an editor holds the older file open without sharing its deletion.
struct RecordingLogStore final : ILogStore {
    std::string current, older;
    int rotations = 0, truncations = 0;
    bool failAppend = false, failRotate = false, failTruncate = false;
    uint64_t Size() override { return current.size(); }
    bool Append(std::string_view bytes) override {
        if (failAppend) return false;
        current += bytes;
        return true;
    }
    bool Rotate() override {
        if (failRotate) return false;
        older = current;
        current.clear();
        ++rotations;
        return true;
    }
    bool Truncate() override {
        if (failTruncate) return false;
        current.clear();
        ++truncations;
        return true;
    }
    std::string Timestamp() override { return "T"; }
};

// Integrity levels by process id (0: this process); process 7 is a viewer.
struct FakeProcessIntegrity final : IProcessIntegrity {
    uint32_t focus = 0;
    std::map<uint32_t, uint32_t> levels;
    uint32_t FocusProcessId() override { return focus; }
    uint32_t IntegrityLevel(uint32_t pid) override { return levels.count(pid) ? levels[pid] : 0; }
    std::u16string ProgramFile(uint32_t pid) override { return pid == 7 ? u"C:\\Imaging\\Viewer.exe" : u""; }
};

}  // namespace brelkin::test
