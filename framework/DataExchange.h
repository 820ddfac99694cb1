#pragma once
// Data exchange between a dialog's members and its controls. Every step
// returns false when it fails; a failing step has already shown its message
// and given the focus to the edit at fault, so DoDataExchange only chains the
// steps with && and the first failure ends the exchange.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate);

    // true: controls to members, with validation; false: members to controls.
    const bool m_bSaveAndValidate;
    CDialog& m_dialog;

    // The control of the exchange step in progress; an edit is remembered as
    // the one a later range check puts the focus on.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);

    // Shows `message` in the framework's message box, gives the last edit the
    // focus with its text selected, and returns false.
    bool Fail(const std::wstring& message);

private:
    HWND m_lastEdit = nullptr;
};

// The framework's validation messages.
std::wstring ParseUIntMessage();
std::wstring UIntRangeMessage(unsigned int minimum, unsigned int maximum);

// Reads an unsigned number as "%u" does: at most the first 63 characters,
// leading white space skipped, an optional sign, then the decimal digits up to
// the first other character. A minus sign negates modulo 2^32 ("-5" reads as
// 4294967291). A value too large for 32 bits reads as 4294967295 rather than
// wrapping into range. Empty when no digit follows.
std::optional<unsigned int> ScanUInt(std::wstring_view text);

bool DDX_Text(CDataExchange& dx, int id, std::wstring& value);
bool DDX_Text(CDataExchange& dx, int id, unsigned int& value);
// Checks only from the controls to the members.
bool DDV_MinMaxUInt(CDataExchange& dx, unsigned int value, unsigned int minimum, unsigned int maximum);
// `id` is the first radio button of a group; `value` is the index of the
// checked one, -1 for none.
bool DDX_Radio(CDataExchange& dx, int id, int& value);
// A two-state check box.
bool DDX_Check(CDataExchange& dx, int id, bool& value);
