#pragma once
// Drives a modal dialog from inside its own modal loop, as a user would: each
// step runs from a thread timer. WM_TIMER comes only when no input is queued,
// so a step always sees the effect of the keys the previous step typed. A step
// that opens a modal window (a click on "Set", an OK that shows a message box)
// blocks, and the following steps then run from that window's loop.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class DialogScript {
public:
    // A step returns false to be tried again at the next tick.
    using Step = std::function<bool()>;

    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    DialogScript& Then(Step step);
    // Convenience steps.
    DialogScript& Do(std::function<void()> action);
    DialogScript& Keys(std::vector<std::pair<WORD, bool>> events);  // (key, released)
    DialogScript& ClickIn(const wchar_t* caption, int id);
    DialogScript& WaitFor(const wchar_t* caption);

    // All steps ran and none timed out.
    bool Completed() const { return m_next == m_steps.size() && !m_timedOut; }
    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunNext();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
    DWORD m_start = 0;
    bool m_timedOut = false;
};

// The visible dialog of this thread with that caption, or null.
HWND FindDialog(const wchar_t* caption);
std::wstring ItemText(HWND dialog, int id);
// One SendInput record for one key.
void SendKey(WORD key, bool released);
// The text of a message box: its static text control.
std::wstring MessageBoxText(HWND box);
