#pragma once
// The program's one notification-area icon: its record, its tooltip, the tray
// menu (resource 130) and the hidden window that receives the shell's mouse
// callbacks and turns them into the popup or the default command.
#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <string>
#include <string_view>

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

// The balloons' pace. A failed show is tried again on the next icon event and
// on a timer. A balloon the shell never reports closed (a shell that lost it,
// or one that sends no NIN_* messages at all) gives way to the next after the
// hold time, which is well past the longest time a shell shows one by itself.
struct BalloonTiming {
    UINT retryMilliseconds = 10000;
    UINT holdMilliseconds = 30000;
};

// The hold time is longer where the user has Windows show notifications for
// longer (Ease of Access, "Show notifications for").
BalloonTiming SystemBalloonTiming();

constexpr UINT_PTR BalloonRetryTimerId = 1;
constexpr UINT_PTR BalloonHoldTimerId = 2;
constexpr size_t MaxWaitingBalloons = 8;

class CSystemTray : public CWnd, public ITooltipTarget, public IBalloonTarget {
public:
    explicit CSystemTray(INotifyIcon& shell, TrayAddRetry retry = {},
                         BalloonTiming timing = SystemBalloonTiming());
    // Removes the icon, then destroys the hidden window and the menu.
    ~CSystemTray() override;

    // Adds the icon with the tooltip "Brelkin - Space"; true when it is shown.
    bool Create(HICON icon);
    void SetTooltipText(std::u16string_view text) override;
    bool SetMenuDefaultItem(UINT item, bool byPosition);
    // A warning balloon titled "Brelkin", one at a time: each waits until the
    // shell has closed the one before it (or the hold time is over), and while
    // the icon is not in the notification area all wait for it to come back.
    // A text already waiting or on screen is not queued again; false when the
    // queue is full and the text is not kept.
    bool ShowBalloon(std::u16string_view text) override;
    size_t WaitingBalloons() const { return m_waitingBalloons.size(); }
    bool IsBalloonOnScreen() const { return m_balloonOnScreen; }

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
    // Shows the first waiting balloon when nothing is on screen; on a failed
    // modify it stays first and the retry timer runs.
    void ShowNextBalloon();
    void BalloonClosed();

    INotifyIcon& m_shell;
    TrayAddRetry m_retry;
    BalloonTiming m_timing;
    bool m_iconPresent = false;
    NOTIFYICONDATAW m_record{};
    UniqueMenu m_menu;
    UINT m_defaultItem = 0;
    bool m_defaultByPosition = true;
    UINT m_taskbarCreated = 0;
    std::deque<std::u16string> m_waitingBalloons;
    std::u16string m_balloonText;  // the one on screen
    bool m_balloonOnScreen = false;
    bool m_retryTimerRunning = false;
};

}  // namespace brelkin
