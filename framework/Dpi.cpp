#include "framework/Dpi.h"

#include <commctrl.h>

namespace {

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (!handle) return nullptr;
    // The cast is how every run-time lookup of an export looks.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = Lookup<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : DefaultDpi;
}

int SystemMetricForDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi = Lookup<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : ::GetSystemMetrics(index);
}

HICON LoadIconForMetric(HINSTANCE instance, UINT resourceId, IconMetric metric) {
    using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    // comctl32 version 6 (bound by the manifest) is loaded with the program;
    // the older one has no LoadIconMetric.
    static const auto loadIconMetric = Lookup<LoadIconMetricFunction>(L"comctl32.dll", "LoadIconMetric");
    const wchar_t* name = MAKEINTRESOURCEW(resourceId);
    if (loadIconMetric) {
        HICON icon = nullptr;
        if (SUCCEEDED(loadIconMetric(instance, name, metric == IconMetric::Small ? LIM_SMALL : LIM_LARGE, &icon)) &&
            icon) {
            return icon;
        }
    }
    const bool small = metric == IconMetric::Small;
    const int width = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int height = ::GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(::LoadImageW(instance, name, IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

int ScaleForDpi(int length, UINT fromDpi, UINT toDpi) {
    if (fromDpi == 0 || fromDpi == toDpi) return length;
    return ::MulDiv(length, static_cast<int>(toDpi), static_cast<int>(fromDpi));
}

RECT ScaleRectForDpi(const RECT& rect, UINT fromDpi, UINT toDpi) {
    return RECT{ScaleForDpi(rect.left, fromDpi, toDpi), ScaleForDpi(rect.top, fromDpi, toDpi),
                ScaleForDpi(rect.right, fromDpi, toDpi), ScaleForDpi(rect.bottom, fromDpi, toDpi)};
}
