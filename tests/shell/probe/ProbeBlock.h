#pragma once
// What the test build of the program reports about itself, in a named
// shared-memory block: every notification-area call and the items of each
// popup menu as it opens. Wine keeps menus inside their process and its
// notification area cannot be read from outside, so these are observed there.
#include <windows.h>

namespace brelkin::probe {

constexpr wchar_t BlockName[] = L"Local\\BrelkinShellProbe";
constexpr wchar_t WindowClass[] = L"BrelkinShellProbe";
constexpr UINT EndMenuMessage = WM_USER + 1;  // to the probe window: close the open menu

struct NotifyRecord {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    UINT flags;
    LONG result;
    wchar_t tip[128];
    wchar_t info[256];  // the balloon's text, with NIF_INFO
};

struct MenuItem {
    UINT id;
    UINT type;   // MFT_*
    UINT state;  // MFS_*
    wchar_t text[64];
};

struct Block {
    volatile LONG notifyCount;
    NotifyRecord notify[64];
    ULONGLONG trayWindow;
    volatile LONG menuSerial;  // counts popups opened
    LONG menuCount;
    MenuItem menu[32];
};

}  // namespace brelkin::probe
