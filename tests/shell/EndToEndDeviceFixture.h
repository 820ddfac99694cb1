#pragma once
// The program with the camera stand-ins, for the end-to-end device tests: a
// fresh stand-in state for each case, and a focused window of the test that
// records the key chords the program sends.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/shell/EndToEndHarness.h"
#include "tests/shell/KeyTarget.h"
#include "tools/CameraStandInState.h"

namespace e2e {

namespace standin = brelkin::standin;

class EndToEndDevice : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        state = standin::OpenStandInState(&standInMapping);
        ASSERT_NE(state, nullptr);
        standin::ResetStandInState(*state);
    }
    void TearDown() override {
        if (target) DestroyWindow(target);
        standin::CloseStandInState(state, standInMapping);
        EndToEnd::TearDown();
    }
    // Wine reports a version after 5.1, so the BDA library is the default.
    standin::ClassState& Bda() { return state->bda; }

    // The probe build with the BDA camera open, and a window of this test
    // that has the focus and records the key downs it is sent.
    HWND StartWithAFocusedKeyWindow(Process& p) {
        target = CreateKeyWindow();
        if (target == nullptr) {
            ADD_FAILURE() << "no key window";
            return nullptr;
        }
        HWND frame = StartAndWaitForFrame(p, Install(L"BrelkinProbe.exe"));
        if (frame == nullptr) return nullptr;
        if (!WaitFor([&] { return Bda().calls.opened == 1; })) {
            ADD_FAILURE() << "camera not opened";
            return nullptr;
        }
        if (!Focus(target)) {
            ADD_FAILURE() << "the test window did not get the focus";
            return nullptr;
        }
        return frame;
    }
    HWND target = nullptr;

    static HWND CreateKeyWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = KeyWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrelkinEndToEndKeys";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    }
    static bool Focus(HWND target) {
        const ULONGLONG end = GetTickCount64() + 5000;
        while ((GetForegroundWindow() != target || GetFocus() != target) && GetTickCount64() < end) {
            SetForegroundWindow(target);
            SetFocus(target);
            Pump(100);
        }
        return GetFocus() == target;
    }

    HANDLE standInMapping = nullptr;
    standin::StandInState* state = nullptr;
};

inline DWORD StoredDword(const wchar_t* name, DWORD missing) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", name, RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

inline void StoreDword(const wchar_t* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Morvane\\Tolvacore\\Settings", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace e2e
