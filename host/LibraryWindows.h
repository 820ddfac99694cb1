#pragma once
// The windows the camera library shows to the user during one of its calls:
// a message box from OpenInterface ("device not found"), a settings dialog
// from a window message. A WH_CBT hook of the host's one thread sees each
// top-level window the library creates visible or activates while a call is
// published. While one is open the watch block says so, and the call waits
// for the user without its clock running; when the last one goes, the call is
// published again with its start moved on by the time the window was open.
#include <windows.h>

#include <vector>

#include "device/CameraHostProtocol.h"

namespace brelkin::host {

class LibraryWindows {
public:
    explicit LibraryWindows(hostwire::WatchBlock& watch) : m_watch(watch) {}
    ~LibraryWindows();
    LibraryWindows(const LibraryWindows&) = delete;
    LibraryWindows& operator=(const LibraryWindows&) = delete;

    // Hooks the calling thread, the one that makes every call into the library.
    bool Install();
    // After each call: a window the library left open once its call
    // returned keeps no later call waiting, but presses stay unanswered while
    // it is in front of the user.
    void CallEnded();
    // Forgets the windows that are gone or hidden.
    void Prune();
    bool AnyOpen() const { return !m_open.empty(); }
    // True once after any window was shown, so that a press made while the
    // user was looking at it is never answered.
    bool TakeShown();
    // The time calls waited for the user since the last take: the calls of an
    // open (or of a close) share one start, which moves on by it.
    uint64_t TakeWaitedMs();

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Shown(HWND window);
    void Gone(HWND window);

    hostwire::WatchBlock& m_watch;
    HHOOK m_hook = nullptr;
    std::vector<HWND> m_open;
    uint64_t m_openSince = 0;
    bool m_marked = false;  // the call in flight waits for the user
    uint64_t m_waitedMs = 0;
    bool m_shown = false;
};

}  // namespace brelkin::host
