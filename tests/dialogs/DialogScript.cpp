#include "tests/dialogs/DialogScript.h"

namespace {

DialogScript* g_running = nullptr;
constexpr UINT TickMs = 20;
constexpr DWORD GiveUpMs = 20000;

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    wchar_t text[128] = {};
    ::GetWindowTextW(hwnd, text, 128);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd) && std::wstring(text) == s->caption) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK EndEveryDialog(HWND hwnd, LPARAM) {
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770") ::EndDialog(hwnd, 99);
    return TRUE;
}

}  // namespace

DialogScript::DialogScript() {
    g_running = this;
    m_start = ::GetTickCount();
    m_timer = ::SetTimer(nullptr, 0, TickMs, &DialogScript::Tick);
}

DialogScript::~DialogScript() {
    ::KillTimer(nullptr, m_timer);
    if (g_running == this) g_running = nullptr;
}

DialogScript& DialogScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

DialogScript& DialogScript::Do(std::function<void()> action) {
    return Then([action] {
        action();
        return true;
    });
}

DialogScript& DialogScript::Keys(std::vector<std::pair<WORD, bool>> events) {
    for (auto [key, released] : events) Do([key = key, released = released] { SendKey(key, released); });
    return *this;
}

DialogScript& DialogScript::ClickIn(const wchar_t* caption, int id) {
    std::wstring c = caption;
    return Then([c, id] {
        HWND dialog = FindDialog(c.c_str());
        if (!dialog) return false;
        ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        return true;
    });
}

DialogScript& DialogScript::WaitFor(const wchar_t* caption) {
    std::wstring c = caption;
    return Then([c] { return FindDialog(c.c_str()) != nullptr; });
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) g_running->RunNext();
}

void DialogScript::RunNext() {
    if (m_timedOut) return;
    if (::GetTickCount() - m_start > GiveUpMs) {
        // A stuck script must not hang the test: close whatever is open.
        m_timedOut = true;
        ::EnumThreadWindows(::GetCurrentThreadId(), &EndEveryDialog, 0);
        return;
    }
    if (m_next >= m_steps.size()) return;
    // Advance first: a step that blocks in a nested modal loop lets the later
    // steps run meanwhile.
    const size_t index = m_next++;
    if (!m_steps[index]()) m_next = index;
}

HWND FindDialog(const wchar_t* caption) {
    Search s{caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

void SendKey(WORD key, bool released) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = released ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

std::wstring MessageBoxText(HWND box) {
    // The message text is the static control with id 0xFFFF.
    return ItemText(box, 0xFFFF);
}
