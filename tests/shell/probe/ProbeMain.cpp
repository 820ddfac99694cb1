// The test build of Brelkin.exe: the same application, with the shell calls
// recorded and the popup menus described into the probe block. Never shipped.
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "shell/TolvacoreApp.h"
#include "tests/shell/probe/ProbeBlock.h"

namespace {

using namespace brelkin;

probe::Block* g_block = nullptr;

class ProbeNotifyIcon final : public INotifyIcon {
public:
    bool Notify(DWORD message, const NOTIFYICONDATAW& data) override {
        bool result;
        if (message == NIM_ADD && refuseAdds > 0) {
            --refuseAdds;
            result = false;
        } else {
            result = m_shell.Notify(message, data);
        }
        const LONG n = g_block->notifyCount;
        if (n < static_cast<LONG>(std::size(g_block->notify))) {
            probe::NotifyRecord& r = g_block->notify[n];
            r.message = message;
            r.flags = data.uFlags;
            r.result = result;
            lstrcpynW(r.tip, data.szTip, 128);
            lstrcpynW(r.info, (data.uFlags & NIF_INFO) ? data.szInfo : L"", 256);
            g_block->trayWindow = reinterpret_cast<ULONGLONG>(data.hWnd);
            InterlockedExchange(&g_block->notifyCount, n + 1);
        }
        return result;
    }

    int refuseAdds = 0;

private:
    Win32NotifyIcon m_shell;
};

// Runs after the frame's update pass, so the states are the ones shown.
LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(msg->wParam);
        const int count = std::min(GetMenuItemCount(menu), static_cast<int>(std::size(g_block->menu)));
        for (int i = 0; i < count; ++i) {
            probe::MenuItem& item = g_block->menu[i];
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
            info.dwTypeData = item.text;
            info.cch = std::size(item.text);
            item.text[0] = 0;
            GetMenuItemInfoW(menu, i, TRUE, &info);
            item.id = info.wID;
            item.type = info.fType;
            item.state = info.fState;
        }
        g_block->menuCount = count;
        InterlockedIncrement(&g_block->menuSerial);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == probe::EndMenuMessage) {
        EndMenu();
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD EnvNumber(const wchar_t* name, DWORD fallback) {
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(name, text, 32)) return fallback;
    return wcstoul(text, nullptr, 10);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(probe::Block), probe::BlockName);
    if (!mapping) return 90;
    g_block = static_cast<probe::Block*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!g_block) return 91;

    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = probe::WindowClass;
    RegisterClassW(&wc);
    CreateWindowExW(0, probe::WindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    SetWindowsHookExW(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());

    // The test build alone takes these: how many adds the "shell" refuses,
    // and a shorter retry time than a logon start needs.
    ProbeNotifyIcon notifyIcon;
    notifyIcon.refuseAdds = static_cast<int>(EnvNumber(L"BRELKIN_PROBE_REFUSE_ADDS", 0));
    CTolvacoreApp app;
    app.Services().notifyIcon = &notifyIcon;
    app.Services().trayAddRetry.totalMilliseconds = EnvNumber(L"BRELKIN_PROBE_TRAY_RETRY_MS", 15000);
    app.Services().trayAddRetry.intervalMilliseconds = 100;
    return app.RunApplication(instance);
}
