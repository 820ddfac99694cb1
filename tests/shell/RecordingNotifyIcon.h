#pragma once
// Records every notification-area call, optionally passing it on to another
// implementation (the real shell) and refusing a number of first adds.
#include <windows.h>

#include <string>
#include <vector>

#include "shell/NotifyIcon.h"

namespace brelkin::test {

struct NotifyCall {
    DWORD message;
    HWND window;
    UINT id;
    UINT flags;
    UINT callback;
    HICON icon;
    std::wstring tip;
};

class RecordingNotifyIcon final : public INotifyIcon {
public:
    explicit RecordingNotifyIcon(INotifyIcon* inner = nullptr) : m_inner(inner) {}

    bool Notify(DWORD message, const NOTIFYICONDATAW& d) override {
        calls.push_back({message, d.hWnd, d.uID, d.uFlags, d.uCallbackMessage, d.hIcon, d.szTip});
        if (log) log->push_back(message == NIM_ADD ? "NIM_ADD" : message == NIM_DELETE ? "NIM_DELETE" : "NIM_MODIFY");
        if (message == NIM_ADD && refuseAdds > 0) {
            --refuseAdds;
            return false;
        }
        if (message == NIM_MODIFY && refuseModify) return false;
        return m_inner ? m_inner->Notify(message, d) : true;
    }

    std::vector<NotifyCall> calls;
    std::vector<std::string>* log = nullptr;
    int refuseAdds = 0;
    bool refuseModify = false;

private:
    INotifyIcon* m_inner;
};

}  // namespace brelkin::test
