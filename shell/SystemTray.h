#pragma once
// The program's one notification-area icon: its record, its tooltip, the tray
// menu (resource 130) and the hidden window that receives the shell's mouse
// callbacks and turns them into the popup or the default command.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"
#include "framework/Wnd.h"
#include "settings/TooltipTarget.h"
#include "support/BalloonTarget.h"
#include "shell/NotifyIcon.h"

namespace brelkin {

constexpr UINT TrayIconId = 130;             // also the menu resource
constexpr UINT TrayCallbackMessage = WM_USER + 10;
constexpr size_t TrayTipLength = 127;        // characters, without the terminating zero

// How long Create keeps asking the shell to take the icon. At logon the
// program can start before the notification area exists.
struct TrayAddRetry {
    DWORD totalMilliseconds = 15000;
    DWORD intervalMilliseconds = 500;
};

class CSystemTray : public CWnd, public ITooltipTarget, public IBalloonTarget {
public:
    explicit CSystemTray(INotifyIcon& shell, TrayAddRetry retry = {});
    // Removes the icon, then destroys the hidden window and the menu.
    ~CSystemTray() override;

    // Adds the icon with the tooltip "Brelkin - Space"; true when it is shown.
    bool Create(HICON icon);
    void SetTooltipText(std::u16string_view text) override;
    bool SetMenuDefaultItem(UINT item, bool byPosition);
    // A warning balloon titled "Brelkin". While the icon is not in the
    // notification area the text waits and shows once the icon is back.
    void ShowBalloon(std::u16string_view text) override;
    size_t WaitingBalloons() const { return m_waitingBalloons.size(); }

    // 1 when the notification was for this icon; 0 for another icon or when
    // the menu it needs is missing.
    virtual LRESULT OnTrayNotification(WPARAM iconId, LPARAM mouseMessage);

    bool IsIconPresent() const { return m_iconPresent; }
    // Submenu 0 of the tray menu, the popup; null when the menu is missing.
    HMENU Popup() const;
    const NOTIFYICONDATAW& Record() const { return m_record; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool AddIcon();
    bool ModifyBalloon(std::u16string_view text);
    void ShowWaitingBalloons();

    INotifyIcon& m_shell;
    TrayAddRetry m_retry;
    bool m_iconPresent = false;
    NOTIFYICONDATAW m_record{};
    UniqueMenu m_menu;
    UINT m_defaultItem = 0;
    bool m_defaultByPosition = true;
    UINT m_taskbarCreated = 0;
    std::vector<std::u16string> m_waitingBalloons;
};

}  // namespace brelkin
