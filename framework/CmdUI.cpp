#include "framework/CmdUI.h"

#include "framework/MessageMap.h"

void CCmdUI::Enable(bool on) {
    ::EnableMenuItem(m_menu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    m_enableChanged = true;
}

void CCmdUI::SetCheck(int check) {
    ::CheckMenuItem(m_menu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

bool CCmdUI::DoUpdate(CCmdTarget& target, bool disableIfNoHandler) {
    m_enableChanged = false;
    CommandRoute update;
    update.id = m_nID;
    update.mode = CommandRoute::Mode::Update;
    update.cmdUI = this;
    const bool handled = target.OnCmdMsg(update);

    // An update handler that only sets the check mark leaves the enabled
    // state to the same rule as an item without an update handler.
    if (disableIfNoHandler && !m_enableChanged) {
        CommandRoute query;
        query.id = m_nID;
        query.mode = CommandRoute::Mode::Query;
        Enable(target.OnCmdMsg(query));
    }
    return handled;
}

void UpdateMenuItems(HMENU popup, CCmdTarget& target) {
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separator or submenu
        CCmdUI item(popup, static_cast<UINT>(i), id);
        item.DoUpdate(target, true);
    }
}
