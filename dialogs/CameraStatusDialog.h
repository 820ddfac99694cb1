#pragma once
// The Camera Status window: modeless, at most one, owned by the frame, which
// sets its values as things happen. Its buttons hand Rescan Camera and the
// support log to the owner as the tray menu's commands.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/DialogRunner.h"
#include "framework/Dialog.h"
#include "platform/win32/Handles.h"

namespace brelkin {

class CDlgCameraStatus final : public CDialog, public ICameraStatusWindow {
public:
    CDlgCameraStatus();

    void Open(uintptr_t owner, StatusDetails details) override;
    bool IsOpen() override { return m_hWnd != nullptr; }
    bool IsActive() override;
    void Show(const std::vector<std::u16string>& values, bool buttonDown) override;

    // The window's lines as "label value", one a line, for Copy Details.
    std::u16string Lines() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT OnCtlColorStatic(WPARAM dc, LPARAM control);
    void OnRescan();
    void OnOpenLog();
    void OnCopy();

    DECLARE_MESSAGE_MAP()

private:
    void ToOwner(UINT command);

    StatusDetails m_details;
    std::vector<std::u16string> m_shown;
    bool m_down = false;
    UniqueBrush m_markBrush;
};

}  // namespace brelkin
