#pragma once
// The display scale of a window and what follows from it: icon sizes, system
// metrics and the rescaling of a dialog when it moves to a monitor of another
// scale. The calls that only newer Windows versions have are looked up at run
// time, so that the program still starts on Windows 7.
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

constexpr UINT DefaultDpi = 96;

enum class IconMetric { Small, Large };

// The window's monitor scale where the system tracks it per monitor, else the
// system's own.
UINT WindowDpi(HWND window);
// GetSystemMetricsForDpi where present, else the metric at the system scale.
int SystemMetricForDpi(int index, UINT dpi);
// The icon resource at the size the shell draws it (LoadIconMetric from
// comctl32 where present, else the small or large icon metrics); the caller
// destroys it. Null when the resource cannot be loaded.
HICON LoadIconForMetric(HINSTANCE instance, UINT resourceId, IconMetric metric);

// A length at one scale, at another (rounded to the nearest pixel).
int ScaleForDpi(int length, UINT fromDpi, UINT toDpi);
// A rectangle at one scale, at another: each corner scaled, so that the gaps
// between neighbouring controls scale with them.
RECT ScaleRectForDpi(const RECT& rect, UINT fromDpi, UINT toDpi);
