#pragma once
// The support log's files: Brelkin.log and the one older Brelkin.log.1 beside
// it. Each call opens the file afresh and closes it again, so a file that was
// deleted, moved or locked for a moment only costs the lines of that moment,
// and the user can open the log while the program runs.
#include <windows.h>

#include <string>

#include "platform/SupportLog.h"

namespace brelkin {

// %LOCALAPPDATA%\Brelkin\Brelkin.log; the folder is created when missing.
// Empty when the user has no local application-data folder.
std::wstring SupportLogPath();

class SupportLogFile final : public ILogStore {
public:
    explicit SupportLogFile(std::wstring path) : m_path(std::move(path)) {}

    uint64_t Size() override;
    bool Append(std::string_view bytes) override;
    bool Rotate() override;
    bool Truncate() override;
    std::string Timestamp() override;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

}  // namespace brelkin
