// Camera Simulator: drives the stand-in camera libraries through their shared
// state block, so that a person can try Brelkin without a camera. The capture
// button reads as pressed for as long as it is held down.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "tools/CameraStandInState.h"

using namespace brelkin::standin;

namespace {

constexpr UINT_PTR RefreshTimer = 1;
constexpr UINT RefreshMs = 10;  // no longer than the shortest poll period, so a short press is seen
constexpr int CaptureButtonId = 100;
constexpr int FieldCount = 4;
constexpr const wchar_t* FieldNames[FieldCount] = {L"Camera present", L"Interface opens",
                                                   L"Interface valid", L"Port busy (bit 0)"};

struct Column {
    const wchar_t* title;
    ClassState* state = nullptr;
    HWND boxes[FieldCount] = {};
    HWND counters = nullptr;
    wchar_t shown[256] = {};
};

StandInState* g_state = nullptr;
HWND g_capture = nullptr;
Column g_columns[2] = {{L"emDLL.dll (WDM)"}, {L"BDADLL.dll (BDA)"}};

LONG ReadField(const ClassState& s, int field)
{
    switch (field) {
    case 0: return s.cameraPresent != 0;
    case 1: return s.openResult != 0;
    case 2: return s.interfaceValid != 0;
    default: return (s.portValue & 1) != 0;
    }
}

void WriteField(ClassState& s, int field, bool on)
{
    switch (field) {
    case 0: s.cameraPresent = on; break;
    case 1: s.openResult = on ? 1 : 0; break;
    case 2: s.interfaceValid = on; break;
    default: s.portValue = on ? (s.portValue | 1) : (s.portValue & ~1L); break;
    }
}

int ControlId(int column, int field) { return 200 + column * 10 + field; }

// Faults of the camera library, once each, so that a person can watch
// Brelkin log a crash or a hang and restart its camera host.
constexpr int FaultButtonFirst = 300;
constexpr int ReleaseHangsId = 310;
struct FaultButton {
    const wchar_t* text;
    volatile LONG StandInState::*which;
    LONG fault;
};
constexpr FaultButton FaultButtons[6] = {
    {L"Crash in IsButtonPressed", &StandInState::faultPressed, FaultCrashOnce},
    {L"Hang in IsButtonPressed", &StandInState::faultPressed, FaultHangOnce},
    {L"Crash in OpenInterface", &StandInState::faultOpen, FaultCrashOnce},
    {L"Hang in OpenInterface", &StandInState::faultOpen, FaultHangOnce},
    {L"Crash in the constructor", &StandInState::faultConstructor, FaultCrashOnce},
    {L"Hang in the constructor", &StandInState::faultConstructor, FaultHangOnce},
};

// What real vendor libraries do, for both classes, from the next construction
// on (Rescan Camera): the checked value, 0 when unchecked.
constexpr int BehaviourFirst = 320;
struct Behaviour {
    const wchar_t* text;
    volatile LONG StandInState::*which;
    LONG on;
};
constexpr Behaviour Behaviours[] = {
    {L"Slow constructor (2 s)", &StandInState::constructorMs, 2000},
    {L"Needs its helper DLL", &StandInState::loadCompanion, 1},
    {L"Button as a window message", &StandInState::buttonByMessage, 1},
    {L"Starts a helper process (30 s)", &StandInState::childLivesMs, 30000},
    {L"Slow IsButtonPressed (20 ms)", &StandInState::pressedCallMs, 20},
    {L"Slow CloseInterface (3 s)", &StandInState::closeMs, 3000},
    {L"Message box on the next open", &StandInState::openMessageBox, 1},
    {L"Reads a file beside the program", &StandInState::readBesideProgram, 1},
};
constexpr int BehaviourCount = static_cast<int>(sizeof Behaviours / sizeof Behaviours[0]);
HWND g_behaviourBoxes[BehaviourCount] = {};

WNDPROC g_buttonProc = nullptr;
LRESULT CALLBACK CaptureButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

void CreateControls(HWND window, HINSTANCE instance)
{
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
                    int h, int id) {
        HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                     nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return child;
    };
    g_capture = make(L"BUTTON", L"Capture button (hold down)", BS_PUSHBUTTON, 10, 10, 420, 40,
                     CaptureButtonId);
    g_buttonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        g_capture, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CaptureButtonProc)));
    for (int c = 0; c < 2; ++c) {
        const int x = 10 + c * 215;
        make(L"BUTTON", g_columns[c].title, BS_GROUPBOX, x, 60, 205, 250, -1);
        for (int f = 0; f < FieldCount; ++f)
            g_columns[c].boxes[f] = make(L"BUTTON", FieldNames[f], BS_AUTOCHECKBOX, x + 10,
                                         80 + f * 24, 185, 20, ControlId(c, f));
        g_columns[c].counters = make(L"STATIC", L"", SS_LEFT, x + 10, 180, 185, 125, -1);
    }
    make(L"BUTTON", L"Camera library faults (both libraries, once)", BS_GROUPBOX, 10, 315, 420, 130, -1);
    for (int i = 0; i < 6; ++i)
        make(L"BUTTON", FaultButtons[i].text, BS_PUSHBUTTON, 20 + (i % 2) * 205, 335 + (i / 2) * 26, 195, 22,
             FaultButtonFirst + i);
    make(L"BUTTON", L"Release hangs", BS_PUSHBUTTON, 20, 413, 195, 22, ReleaseHangsId);
    make(L"BUTTON", L"Real library behaviours (both libraries, next open)", BS_GROUPBOX, 10, 450, 420, 130, -1);
    for (int i = 0; i < BehaviourCount; ++i)
        g_behaviourBoxes[i] = make(L"BUTTON", Behaviours[i].text, BS_AUTOCHECKBOX, 20 + (i % 2) * 205,
                                   470 + (i / 2) * 26, 195, 22, BehaviourFirst + i);
}

void Refresh()
{
    // The capture button's pushed state is polled rather than taken from
    // notifications, because a plain push button reports only the click.
    const bool held = (SendMessageW(g_capture, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    for (Column& column : g_columns) {
        ClassState& s = *column.state;
        s.buttonPressed = held;
        // Another simulator or a test may change the block too.
        for (int f = 0; f < FieldCount; ++f) {
            const WPARAM want = ReadField(s, f) ? BST_CHECKED : BST_UNCHECKED;
            if (SendMessageW(column.boxes[f], BM_GETCHECK, 0, 0) != static_cast<LRESULT>(want))
                SendMessageW(column.boxes[f], BM_SETCHECK, want, 0);
        }
        wchar_t text[256];
        const ClassCounters& n = s.calls;
        swprintf(text, 256,
                 L"Button: %ls\nConstructed %ld, destroyed %ld\nOpened %ld, closed %ld\n"
                 L"IsInterfaceValid %ld\nGetPIO %ld\nIsButtonPressed %ld",
                 held ? L"pressed" : L"up", n.constructed, n.destroyed, n.opened, n.closed,
                 n.valid, n.getPio, n.pressed);
        if (wcscmp(text, column.shown) != 0) {  // no flicker when nothing changed
            wcscpy(column.shown, text);
            SetWindowTextW(column.counters, text);
        }
    }
    for (int i = 0; i < BehaviourCount; ++i) {
        const WPARAM want = g_state->*Behaviours[i].which != 0 ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageW(g_behaviourBoxes[i], BM_GETCHECK, 0, 0) != static_cast<LRESULT>(want))
            SendMessageW(g_behaviourBoxes[i], BM_SETCHECK, want, 0);
    }
}

// The capture button is held with the mouse while the chords are to reach
// another program (a text window, the imaging program), so pressing it must not
// take the focus: a plain button would focus itself and activate the simulator.
LRESULT CALLBACK CaptureButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SendMessageW(button, BM_SETSTATE, TRUE, 0);
        SetCapture(button);
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        SendMessageW(button, BM_SETSTATE, FALSE, 0);
        if (message == WM_LBUTTONUP && GetCapture() == button)
            ReleaseCapture();
        return 0;
    }
    return CallWindowProcW(g_buttonProc, button, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CREATE:
        CreateControls(window, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
        Refresh();
        SetTimer(window, RefreshTimer, RefreshMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == RefreshTimer)
            Refresh();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const int id = LOWORD(wParam);
            if (id >= FaultButtonFirst && id < FaultButtonFirst + 6) {
                const FaultButton& b = FaultButtons[id - FaultButtonFirst];
                InterlockedExchange(&(g_state->*b.which), b.fault);
            } else if (id == ReleaseHangsId) {
                ReleaseHangs(*g_state);
            } else if (id >= BehaviourFirst && id < BehaviourFirst + BehaviourCount) {
                const Behaviour& b = Behaviours[id - BehaviourFirst];
                const bool on = SendMessageW(g_behaviourBoxes[id - BehaviourFirst], BM_GETCHECK, 0, 0) == BST_CHECKED;
                InterlockedExchange(&(g_state->*b.which), on ? b.on : 0);
            }
            for (int c = 0; c < 2; ++c)
                for (int f = 0; f < FieldCount; ++f)
                    if (LOWORD(wParam) == ControlId(c, f))
                        WriteField(*g_columns[c].state, f,
                                   SendMessageW(g_columns[c].boxes[f], BM_GETCHECK, 0, 0) ==
                                       BST_CHECKED);
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window, RefreshTimer);
        // A button held when the window goes must not stay pressed.
        g_state->wdm.buttonPressed = 0;
        g_state->bda.buttonPressed = 0;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HANDLE mapping = nullptr;
    g_state = OpenStandInState(&mapping);
    if (!g_state) {
        MessageBoxW(nullptr, L"The shared state of the stand-in libraries cannot be opened.",
                    L"Camera Simulator", MB_ICONERROR);
        return 1;
    }
    g_columns[0].state = &g_state->wdm;
    g_columns[1].state = &g_state->bda;

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BrelkinCameraSimulator";
    RegisterClassW(&wc);

    RECT area{0, 0, 440, 590};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&area, style, FALSE);
    HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, wc.lpszClassName, L"Camera Simulator", style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, area.right - area.left, area.bottom - area.top,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) {
        CloseStandInState(g_state, mapping);
        return 1;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    CloseStandInState(g_state, mapping);
    return 0;
}
