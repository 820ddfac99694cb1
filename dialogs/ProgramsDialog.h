#pragma once
// The "Programs" dialog: the rules that give a program its own key mode for
// the press, the long press and the double press, and "Send keys only to
// these programs". A row is a rule's name; it holds a rule for any of the
// three gestures, each apart from the others.
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
    void OnLongPressChange();
    void OnDoublePressChange();
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
    static std::wstring TitleText(std::u16string_view name);
    static std::wstring ModeText(const brelkin::ProgramRule& rule);
    // Gesture 0 is the press, 1 the long press, 2 the double press.
    std::vector<brelkin::ProgramRule>& Rules(int gesture);
    brelkin::ProgramRule* RuleOf(int gesture, std::u16string_view name);
    // The rule that speaks for a row: its press's, else its long or double press's.
    const brelkin::ProgramRule* RowRule(std::u16string_view name);
    // `choice` indexes m_modeNames; -1 is "As for every program".
    void ChangeMode(int gesture, int choice);
    // The user's own rule goes; the administrator's beneath it applies again.
    static void RemoveOwn(std::vector<brelkin::ProgramRule>& rules, std::size_t index);
    void FillList();
    // Fills the list again and selects `name`'s row, or the one in its place.
    void Refill(std::u16string name);
    void SelectRule(int index);
    int SelectedRule() const;
    const std::u16string* SelectedName() const;
    void ShowSelectedMode();

    std::vector<std::u16string> m_rows;
    HWND m_list = nullptr;
    HWND m_modes[3] = {};
};
