#pragma once
// The "Programs" dialog: the rules that give a program its own key mode, and
// "Send keys only to these programs".
#include <string>
#include <string_view>
#include <vector>

#include "engine/ProgramRules.h"
#include "framework/Dialog.h"
#include "platform/win32/Win32ForegroundProgram.h"

class CDlgPrograms : public CDialog {
public:
    CDlgPrograms();

    // In and out: edited in place while the dialog runs; the caller keeps its
    // own copy, so that Cancel changes nothing.
    brelkin::ProgramRuleSet m_rules;
    // The modes offered, in menu order; a new rule gets `m_newRuleMode`.
    std::vector<std::u16string> m_modeNames;
    std::u16string m_newRuleMode;
    // Their programs are offered under "Program :" (any other file name may
    // be typed), and the titles of the chosen one's windows under "Window
    // title :", to be shortened into a pattern.
    std::vector<brelkin::OpenProgramWindow> m_openWindows;

protected:
    BOOL OnInitDialog() override;
    bool DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

    void OnAdd();
    void OnBrowse();
    void OnRemove();
    void OnModeChange();
    void OnProgramPicked();
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Adds the rule for `program` (a file name, or a full path whose file
    // name is taken) and the title pattern typed, or selects that rule if it
    // is there; false, after a message, when either is not usable.
    bool AddProgram(std::wstring_view program);
    std::wstring FieldText(int id) const;
    std::wstring TypedProgram() const;
    void Refuse(const std::wstring& text, int field);
    static std::wstring TitleText(const brelkin::ProgramRule& rule);
    static std::wstring ModeText(const brelkin::ProgramRule& rule);
    void FillList();
    void SelectRule(int index);
    int SelectedRule() const;
    void ShowSelectedMode();

    HWND m_list = nullptr;
    HWND m_mode = nullptr;
};
