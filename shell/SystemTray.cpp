#include "shell/SystemTray.h"

#include <algorithm>

#include "framework/ResourceLanguage.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "shell/FrameTexts.h"

namespace brelkin {

#ifndef _WIN64
static_assert(sizeof(NOTIFYICONDATAW) == 956, "the record as the shell of Vista and later reads it");
#endif

BalloonTiming SystemBalloonTiming() {
    BalloonTiming timing;
    ULONG seconds = 0;  // Vista and later; zero where the setting is unknown
    if (::SystemParametersInfoW(SPI_GETMESSAGEDURATION, 0, &seconds, 0) && seconds > 0 && seconds <= 3600) {
        timing.holdMilliseconds = std::max<UINT>(timing.holdMilliseconds, (seconds + 5) * 1000);
    }
    return timing;
}

CSystemTray::CSystemTray(INotifyIcon& shell, TrayAddRetry retry, BalloonTiming timing)
    : m_shell(shell), m_retry(retry), m_timing(timing) {}

CSystemTray::~CSystemTray() {
    if (m_iconPresent) {
        m_record.uFlags = 0;
        m_shell.Notify(NIM_DELETE, m_record);
        m_iconPresent = false;
    }
    DestroyWindow();
    m_menu.reset();
}

bool CSystemTray::Create(HICON icon) {
    if (LOBYTE(LOWORD(::GetVersion())) < 4) {
        m_iconPresent = false;
        return false;
    }
    CreateEx(0, DefaultClassName(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);

    m_record.cbSize = sizeof m_record;
    m_record.hWnd = m_hWnd;
    m_record.uID = TrayIconId;
    m_record.hIcon = icon;
    m_record.uCallbackMessage = TrayCallbackMessage;
    ::lstrcpynW(m_record.szTip, StartTooltip, 128);

    m_menu.reset(LoadMenuInLanguage(::GetModuleHandleW(nullptr), TrayIconId));

    // Registered before the first add, so that a shell that restarts at any
    // later moment gets the icon back.
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

    const ULONGLONG start = ::GetTickCount64();
    while (!AddIcon() && ::GetTickCount64() - start < m_retry.totalMilliseconds) {
        ::Sleep(m_retry.intervalMilliseconds);
    }
    return m_iconPresent;
}

bool CSystemTray::AddIcon() {
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_iconPresent = m_shell.Notify(NIM_ADD, m_record);
    if (m_iconPresent) ShowNextBalloon();
    return m_iconPresent;
}

bool CSystemTray::ModifyBalloon(std::u16string_view text) {
    const size_t length = std::min(text.size(), std::size(m_record.szInfo) - 1);
    std::copy_n(text.begin(), length, m_record.szInfo);
    m_record.szInfo[length] = L'\0';
    ::lstrcpynW(m_record.szInfoTitle, AppTitle, static_cast<int>(std::size(m_record.szInfoTitle)));
    m_record.dwInfoFlags = NIIF_WARNING;
    m_record.uTimeout = 10000;  // ignored since Vista; older shells need it
    m_record.uFlags = NIF_INFO;
    const bool shown = m_shell.Notify(NIM_MODIFY, m_record);
    // Any later modify of the tip must not show the balloon again.
    m_record.szInfo[0] = L'\0';
    return shown;
}

bool CSystemTray::ShowBalloon(std::u16string_view text) {
    // The same cause repeats (a rescan that fails again): one balloon says it.
    const bool repeat = (m_balloonOnScreen && text == m_balloonText) ||
                        std::find(m_waitingBalloons.begin(), m_waitingBalloons.end(), text) != m_waitingBalloons.end();
    if (repeat) return true;
    // A handful waiting is plenty, and the log has every one.
    if (m_waitingBalloons.size() >= MaxWaitingBalloons) return false;
    m_waitingBalloons.emplace_back(text);
    ShowNextBalloon();
    return true;
}

void CSystemTray::ShowNextBalloon() {
    if (!m_iconPresent || m_balloonOnScreen || m_waitingBalloons.empty()) return;
    if (!ModifyBalloon(m_waitingBalloons.front())) {
        // Explorer busy at logon refuses a modify it takes a moment later.
        if (!m_retryTimerRunning && m_hWnd) {
            m_retryTimerRunning = SetTimer(BalloonRetryTimerId, m_timing.retryMilliseconds) != 0;
        }
        return;
    }
    if (m_retryTimerRunning) {
        KillTimer(BalloonRetryTimerId);
        m_retryTimerRunning = false;
    }
    m_balloonText = std::move(m_waitingBalloons.front());
    m_waitingBalloons.pop_front();
    m_balloonOnScreen = true;
    if (m_hWnd) SetTimer(BalloonHoldTimerId, m_timing.holdMilliseconds);
}

void CSystemTray::BalloonClosed() {
    if (!m_balloonOnScreen) return;
    m_balloonOnScreen = false;
    if (m_hWnd) KillTimer(BalloonHoldTimerId);
    ShowNextBalloon();
}

void CSystemTray::SetTooltipText(std::u16string_view text) {
    // The text is kept even while the icon is absent, so that adding the icon
    // again after a shell restart shows the current tooltip.
    const size_t length = std::min(text.size(), TrayTipLength);
    std::copy_n(text.begin(), length, m_record.szTip);
    m_record.szTip[length] = L'\0';
    if (!m_iconPresent) return;
    m_record.uFlags = NIF_TIP;
    m_shell.Notify(NIM_MODIFY, m_record);
}

HMENU CSystemTray::Popup() const {
    return m_menu ? ::GetSubMenu(m_menu.get(), 0) : nullptr;
}

bool CSystemTray::SetMenuDefaultItem(UINT item, bool byPosition) {
    if (item == m_defaultItem && byPosition == m_defaultByPosition) return true;
    m_defaultItem = item;
    m_defaultByPosition = byPosition;
    HMENU popup = Popup();
    if (!popup) return false;
    ::SetMenuDefaultItem(popup, item, byPosition);
    return true;
}

LRESULT CSystemTray::OnTrayNotification(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != m_record.uID) return 0;
    switch (LOWORD(mouseMessage)) {
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
    case NIN_BALLOONUSERCLICK:
        BalloonClosed();
        break;
    default:
        // The shell answers for the icon again: a balloon it refused may
        // be taken now.
        ShowNextBalloon();
        break;
    }
    CWinApp* app = CWinApp::Get();
    HWND mainWindow = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;

    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP: {
        HMENU popup = Popup();
        if (!popup) return 0;
        ::SetMenuDefaultItem(popup, m_defaultItem, m_defaultByPosition);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // Without the foreground the menu would not close when the user
        // clicks elsewhere.
        ::SetForegroundWindow(mainWindow);
        ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, mainWindow, nullptr);
        // Makes the owner run a message of its own now, so that the next
        // right click opens the menu again instead of only closing it.
        ::PostMessageW(mainWindow, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(mainWindow);
        UINT command = m_defaultItem;
        if (m_defaultByPosition) {
            HMENU popup = Popup();
            if (!popup) return 0;
            command = ::GetMenuItemID(popup, static_cast<int>(m_defaultItem));
        }
        ::SendMessageW(mainWindow, WM_COMMAND, command, 0);
        return 1;
    }
    case NIN_BALLOONUSERCLICK:
        ::SendMessageW(mainWindow, WM_COMMAND, ID_SHOW_SUPPORT_LOG, 0);
        return 1;
    default:
        return 1;
    }
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_record.uCallbackMessage && message != 0) {
        return OnTrayNotification(wParam, lParam);
    }
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        // The shell's notification area was re-created and has forgotten
        // every icon. A shell that still knows the icon refuses the add; it
        // is present if it can still be modified.
        // A balloon on screen went with the old notification area.
        if (m_balloonOnScreen) {
            m_balloonOnScreen = false;
            KillTimer(BalloonHoldTimerId);
        }
        if (!AddIcon()) {
            m_iconPresent = m_shell.Notify(NIM_MODIFY, m_record);
            if (m_iconPresent) ShowNextBalloon();
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == BalloonRetryTimerId) {
        KillTimer(BalloonRetryTimerId);
        m_retryTimerRunning = false;
        ShowNextBalloon();
        return 0;
    }
    if (message == WM_TIMER && wParam == BalloonHoldTimerId) {
        BalloonClosed();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

}  // namespace brelkin
