#pragma once
// A window object over one HWND. Messages reach WindowProc, which looks them
// up in the static message map chain; what no entry handles goes to
// DefWindowProc. No exception leaves a window procedure: a handler that throws
// makes the message fail in the safe way (creation fails, anything else
// returns 0).
//
// Windows made by CreateEx use the framework's own class procedure. A window
// made elsewhere (a dialog, a control) can be attached with SubclassWindow;
// its original procedure then takes the default handling. Code with its own
// procedure (a DLGPROC) can hand messages to RouteMessage, which gives the
// handler the same Default() and exception guard.
#include <windows.h>

#include "framework/MessageMap.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Destroys a window that is still attached, after detaching it, so that
    // none of its last messages reaches a half-destroyed object.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Registers (once) and returns the framework's default window class.
    static const wchar_t* DefaultClassName();

    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                  void* createParam = nullptr);
    bool DestroyWindow();

    // Attach without subclassing (the window already calls RouteMessage), or
    // with it (the window's procedure is replaced and kept for defaults).
    void Attach(HWND hwnd);
    bool SubclassWindow(HWND hwnd);
    HWND Detach();

    // The object of a window attached to this framework, or null.
    static CWnd* FromHandle(HWND hwnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int MessageBox(const wchar_t* text, const wchar_t* caption, UINT type);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    bool KillTimer(UINT_PTR id);
    bool ShowWindow(int command);
    bool IsWindowVisible() const;
    HWND GetDlgItem(int id) const;

    // The default handling of the message being handled now.
    LRESULT Default();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND; true when a target handled it.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY, once the object is detached. Heap objects
    // that own themselves (frames) delete themselves here.
    virtual void PostNcDestroy() {}

    // Delivers one message to `wnd` with Default() and the exception guard.
    static LRESULT RouteMessage(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The procedure of every window class that the framework registers.
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

protected:

    WNDPROC m_superWndProc = nullptr;  // set by SubclassWindow

    DECLARE_MESSAGE_MAP()
};
