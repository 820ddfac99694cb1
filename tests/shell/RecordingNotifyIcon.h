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
    std::wstring info;
    bool accepted;
};

class RecordingNotifyIcon final : public INotifyIcon {
public:
    explicit RecordingNotifyIcon(INotifyIcon* inner = nullptr) : m_inner(inner) {}

    bool Notify(DWORD message, const NOTIFYICONDATAW& d) override {
        calls.push_back({message, d.hWnd, d.uID, d.uFlags, d.uCallbackMessage, d.hIcon, d.szTip, d.szInfo, false});
        if (log) log->push_back(message == NIM_ADD ? "NIM_ADD" : message == NIM_DELETE ? "NIM_DELETE" : "NIM_MODIFY");
        if (message == NIM_ADD && refuseAdds > 0) {
            --refuseAdds;
            return false;
        }
        if (message == NIM_MODIFY && refuseModify) return false;
        if (message == NIM_MODIFY && refuseModifies > 0) {
            --refuseModifies;
            return false;
        }
        calls.back().accepted = m_inner ? m_inner->Notify(message, d) : true;
        return calls.back().accepted;
    }

    // The texts of the balloons the shell took, in order.
    std::vector<std::wstring> Balloons() const {
        std::vector<std::wstring> shown;
        for (const auto& c : calls) {
            if (c.accepted && c.message == NIM_MODIFY && (c.flags & NIF_INFO)) shown.push_back(c.info);
        }
        return shown;
    }

    std::vector<NotifyCall> calls;
    std::vector<std::string>* log = nullptr;
    int refuseAdds = 0;
    bool refuseModify = false;
    int refuseModifies = 0;  // the next ones, then accepted again

private:
    INotifyIcon* m_inner;
};

}  // namespace brelkin::test
