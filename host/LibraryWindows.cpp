#include "host/LibraryWindows.h"

#include <algorithm>

#include "platform/win32/AwakeClock.h"

namespace brelkin::host {

namespace {

// A thread hook has no context of its own: the host has one hooked thread.
LibraryWindows* g_windows = nullptr;

bool InCall(const hostwire::WatchBlock& watch) {
    return hostwire::CallOf(watch.callWord) != static_cast<uint32_t>(hostwire::HostCall::None);
}

}  // namespace

LibraryWindows::~LibraryWindows() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (g_windows == this) g_windows = nullptr;
}

bool LibraryWindows::Install() {
    g_windows = this;
    m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    return m_hook != nullptr;
}

LRESULT CALLBACK LibraryWindows::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (LibraryWindows* self = g_windows) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND && InCall(self->m_watch)) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            // A child belongs to a window already seen; a message-only or a
            // hidden window (a library's own message sink, COM's) is never
            // in front of the user.
            if (create != nullptr && (create->style & WS_CHILD) == 0 && (create->style & WS_VISIBLE) != 0 &&
                create->hwndParent != HWND_MESSAGE)
                self->Shown(window);
        } else if (code == HCBT_ACTIVATE && InCall(self->m_watch)) {
            // Only top-level windows are activated; a hidden one shown later
            // (a message box is) arrives here.
            self->Shown(window);
        } else if (code == HCBT_DESTROYWND) {
            self->Gone(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void LibraryWindows::Shown(HWND window) {
    m_shown = true;
    if (std::find(m_open.begin(), m_open.end(), window) == m_open.end()) m_open.push_back(window);
    if (m_marked) return;
    m_marked = true;
    m_openSince = AwakeMilliseconds();
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_watch.libraryWindow), 1);
}

void LibraryWindows::Gone(HWND window) {
    const auto it = std::find(m_open.begin(), m_open.end(), window);
    if (it == m_open.end()) return;
    m_open.erase(it);
    if (!m_open.empty() || !m_marked) return;
    m_marked = false;
    const uint64_t waited = AwakeMilliseconds() - m_openSince;
    m_waitedMs += waited;
    // The call goes on with the time the user took taken off its clock; the
    // new start is in place before the mark goes, so that Brelkin never
    // judges the call by its old start.
    const auto word = static_cast<uint64_t>(
        InterlockedCompareExchange64(reinterpret_cast<volatile LONG64*>(&m_watch.callWord), 0, 0));
    const uint32_t call = hostwire::CallOf(word);
    if (call != static_cast<uint32_t>(hostwire::HostCall::None)) {
        const uint64_t moved = hostwire::StartOf(word) + waited;
        InterlockedExchange64(reinterpret_cast<volatile LONG64*>(&m_watch.callWord),
                              static_cast<LONG64>(hostwire::PackCall(static_cast<hostwire::HostCall>(call), moved)));
    }
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_watch.libraryWindow), 0);
}

void LibraryWindows::Prune() {
    // Copied: Gone changes the list.
    const std::vector<HWND> open = m_open;
    for (HWND window : open)
        if (!IsWindow(window) || !IsWindowVisible(window)) Gone(window);
}

void LibraryWindows::CallEnded() {
    Prune();
    if (!m_marked) return;
    // The call returned with its window still open: it waited until now.
    m_marked = false;
    m_waitedMs += AwakeMilliseconds() - m_openSince;
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_watch.libraryWindow), 0);
}

uint64_t LibraryWindows::TakeWaitedMs() {
    const uint64_t waited = m_waitedMs;
    m_waitedMs = 0;
    return waited;
}

bool LibraryWindows::TakeShown() {
    const bool shown = m_shown;
    m_shown = false;
    return shown;
}

}  // namespace brelkin::host
