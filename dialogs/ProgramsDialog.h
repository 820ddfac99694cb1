#pragma once
// The "Programs" dialog: the rules that give a program its own key mode, and
// "Send keys only to these programs".
#include <string>
#include <string_view>
#include <vector>

#include "engine/ProgramRules.h"
#include "framework/Dialog.h"

class CDlgPrograms : public CDialog {
public:
    CDlgPrograms();

    // In and out: edited in place while the dialog runs; the caller keeps its
    // own copy, so that Cancel changes nothing.
    brelkin::ProgramRuleSet m_rules;
    // The modes offered, in menu order; a new rule gets `m_newRuleMode`.
    std::vector<std::u16string> m_modeNames;
    std::u16string m_newRuleMode;
    // Offered under "Program :"; any other file name may be typed.
    std::vector<std::u16string> m_openPrograms;

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

    void OnAdd();
    void OnBrowse();
    void OnRemove();
    void OnModeChange();
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Adds `program` (a file name, or a full path whose file name is taken)
    // or selects its rule if it has one; false, after a message, when it is
    // no usable file name.
    bool AddProgram(std::wstring_view program);
    std::wstring TypedProgram() const;
    static std::wstring ModeText(const brelkin::ProgramRule& rule);
    void FillList();
    void SelectRule(int index);
    int SelectedRule() const;
    void ShowSelectedMode();

    HWND m_list = nullptr;
    HWND m_mode = nullptr;
};
