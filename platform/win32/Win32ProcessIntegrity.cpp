#include "platform/win32/Win32ProcessIntegrity.h"

#include <iterator>
#include <vector>

namespace brelkin {

namespace {

struct Handle {
    HANDLE h = nullptr;
    ~Handle() {
        if (h) ::CloseHandle(h);
    }
};

}  // namespace

uint32_t Win32ProcessIntegrity::FocusProcessId() {
    // The focus of another thread is only known through its GUI state; the
    // foreground window stands in when that thread has no focus window.
    HWND window = ::GetForegroundWindow();
    if (!window) return 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
        window = info.hwndFocus;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

uint32_t Win32ProcessIntegrity::IntegrityLevel(uint32_t processId) {
    HANDLE source = ::GetCurrentProcess();
    Handle process;
    if (processId != 0) {
        process.h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (!process.h) return 0;
        source = process.h;
    }
    Handle token;
    if (!::OpenProcessToken(source, TOKEN_QUERY, &token.h)) return 0;
    DWORD size = 0;
    ::GetTokenInformation(token.h, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0 || size > 4096) return 0;
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.h, TokenIntegrityLevel, buffer.data(), size, &size)) return 0;
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    if (!label->Label.Sid || !::IsValidSid(label->Label.Sid)) return 0;
    const UCHAR count = *::GetSidSubAuthorityCount(label->Label.Sid);
    if (count == 0) return 0;
    return *::GetSidSubAuthority(label->Label.Sid, count - 1);
}

std::u16string Win32ProcessIntegrity::ProgramFile(uint32_t processId) {
    Handle process;
    process.h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process.h) return {};
    wchar_t path[MAX_PATH * 2];
    DWORD length = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(process.h, 0, path, &length)) return {};
    return std::u16string(path, path + length);
}

}  // namespace brelkin
