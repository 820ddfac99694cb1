#pragma once
// A dialog over a dialog template of the executable's resources, in the
// language of framework/ResourceLanguage.h: modal, run by the system's own
// modal loop (DialogBoxIndirectParamW), or modeless, whose keyboard the
// application's message loop hands to IsDialogMessage. Its messages go through
// the same static message maps as every other window of the framework.
#include <windows.h>

#include "platform/win32/Handles.h"
#include "framework/Wnd.h"

class CDataExchange;

// Where a dialog of this size opens: centred on `over` (the parent dialog's
// rectangle) or, without one, on the work area, then moved just as far as it
// takes to lie inside the work area, its top-left corner first.
RECT CenteredDialogRect(const RECT& dialog, const RECT* over, const RECT& workArea);

class CDialog : public CWnd {
public:
    // Without a parent the owner is found when the dialog opens: the active
    // window of the thread (the dialog that opened this one) or else the
    // application's main window.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // IDOK, IDCANCEL (Cancel, Escape, the close box), or -1 if the template
    // could not be loaded.
    INT_PTR DoModal();
    // Modeless, owned by `owner`, shown and in front; false when the template
    // could not be loaded. Ending it destroys the window; the object stays.
    bool Create(HWND owner);
    // Modal: the result DoModal returns. Modeless: the window is destroyed.
    void EndDialog(INT_PTR result);

    // The application's loop asks this first for each message: true when an
    // open modeless dialog took it (Tab, the access keys, Enter, Escape).
    static bool PreTranslateModeless(MSG& msg);

    // true: controls to members, with validation; false: members to controls.
    bool UpdateData(bool saveAndValidate = true);

    bool SetDlgItemText(int id, const wchar_t* text);

protected:
    // Runs the members-to-controls exchange; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // Each exchange step returns false on failure, and the first failure ends it.
    virtual bool DoDataExchange(CDataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND FindOwner() const;
    // Over the owner when it is a dialog, else on the monitor that holds the
    // mouse pointer (the tray icon that was just clicked), in the foreground.
    void PlaceOnOpen();
    // Moved to a monitor of another scale: takes the rectangle the system
    // suggests, and scales the controls, the gaps between them, the list
    // columns and the font from the scale the dialog had to the new one.
    void RescaleForDpi(UINT dpi, const RECT& suggested);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modeless = false;
    // Set by DefWindowProc for the message being handled: the dialog manager
    // then applies its own default.
    bool* m_unhandled = nullptr;
    UINT m_dpi = 0;           // the scale the controls are laid out for
    UniqueFont m_scaledFont;  // the font at that scale, once it changed
};
