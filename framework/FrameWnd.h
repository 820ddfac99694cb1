#pragma once
// A top-level frame window. It routes commands to its own map and then to the
// application's, runs the update pass over the popups it owns, is destroyed by
// WM_CLOSE, and, as the main window, ends the message loop when it goes away.
// A frame is made with new and deletes itself after its window is destroyed
// (also when LoadFrame fails).
#include <windows.h>

#include "framework/Wnd.h"

// Framework style flag: add the document name to the title. There are no
// documents here, so it only keeps the style word of the resource set as given.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;

    // Creates the frame from resource set `resourceId`: its title is the
    // string with that id (up to the first '\n'), its class icon the icon group
    // with that id. The frame is not shown.
    virtual bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, void* context = nullptr);

    bool OnCmdMsg(const CommandRoute& route) override;

protected:
    int OnCreate(CREATESTRUCTW* createStruct);
    void OnClose();
    void OnInitMenuPopup(HMENU popup, UINT index, bool isSystemMenu);
    bool OnQueryEndSession();
    void OnEndSession(bool ending, UINT flags);
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnNcDestroy(WPARAM, LPARAM);
};
