#pragma once
// The update object for one item of a popup menu while the popup opens. An
// update handler calls Enable and SetCheck; DoUpdate then applies the rule for
// items that nobody asked about: enabled when some target handles the command,
// greyed when none does.
#include <windows.h>

class CCmdTarget;

class CCmdUI {
public:
    CCmdUI(HMENU menu, UINT index, UINT id) : m_menu(menu), m_nIndex(index), m_nID(id) {}

    virtual ~CCmdUI() = default;
    virtual void Enable(bool on = true);
    virtual void SetCheck(int check = 1);  // 0 unchecked, non-zero checked

    // Routes the update request to `target`; returns true when an update
    // handler ran.
    bool DoUpdate(CCmdTarget& target, bool disableIfNoHandler);

    HMENU m_menu;
    UINT m_nIndex;
    UINT m_nID;
    bool m_enableChanged = false;
};

// Runs the update pass over every command item of `popup`: separators and
// submenus are skipped.
void UpdateMenuItems(HMENU popup, CCmdTarget& target);
