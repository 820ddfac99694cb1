#pragma once
// The shell's notification area, behind one call so that tests can record
// what the tray icon asks of it.
#include <windows.h>
#include <shellapi.h>

namespace brelkin {

class INotifyIcon {
public:
    virtual ~INotifyIcon() = default;
    // Shell_NotifyIconW: NIM_ADD, NIM_MODIFY or NIM_DELETE with the record.
    virtual bool Notify(DWORD message, const NOTIFYICONDATAW& data) = 0;
};

class Win32NotifyIcon final : public INotifyIcon {
public:
    bool Notify(DWORD message, const NOTIFYICONDATAW& data) override {
        return ::Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&data)) != FALSE;
    }
};

}  // namespace brelkin
