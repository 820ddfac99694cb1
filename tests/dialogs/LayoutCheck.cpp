// The layout check of one language: every dialog template and the tray menu
// as the program loads them for that language, each control's text measured
// with the control's own font, at 96 dpi and at 144 dpi (the font and the
// rectangles scaled as the framework scales them for a monitor of that scale).
// Prints each text that does not fit, with the language, the dialog and the
// control, and exits 1; exits 2 when the language's resources are missing.
//   dialogs_layout_check <tag>      one process per language, all dialogs in it
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/ActionPreset.h"
#include "engine/KeyChordNames.h"
#include "engine/Language.h"
#include "engine/ModeNames.h"
#include "engine/Texts.h"
#include "engine/Utf8.h"
#include "framework/ResourceLanguage.h"
#include "resources/dialogs/DialogIds.h"
#include "resources/resource.h"

namespace {

using namespace brelkin;

struct Named {
    int id;
    const char* name;
};

constexpr Named kDialogs[] = {
    {IDD_ABOUTBOX, "About"}, {IDD_CUSTOM_SETTING, "Custom Settings"}, {IDD_KEY_SET, "Key Set"},
    {IDD_BDA_SETTING, "WDM / BDA Setting"}, {IDD_PROGRAMS, "Programs"}, {IDD_CAMERA_STATUS, "Camera Status"},
};

// Control ids are reused between dialogs, so the name is looked up per dialog.
constexpr struct {
    int dialog;
    int id;
    const char* name;
} kControls[] = {
    {0, IDOK, "IDOK"}, {0, IDCANCEL, "IDCANCEL"},
    {IDD_CUSTOM_SETTING, IDC_ONE_BY_ONE, "IDC_ONE_BY_ONE"}, {IDD_CUSTOM_SETTING, IDC_AT_ONE_TIME, "IDC_AT_ONE_TIME"},
    {IDD_CUSTOM_SETTING, IDC_KEY1_TEXT, "IDC_KEY1_TEXT"}, {IDD_CUSTOM_SETTING, IDC_KEY2_TEXT, "IDC_KEY2_TEXT"},
    {IDD_CUSTOM_SETTING, IDC_KEY3_TEXT, "IDC_KEY3_TEXT"}, {IDD_CUSTOM_SETTING, IDC_SET_KEY1, "IDC_SET_KEY1"},
    {IDD_CUSTOM_SETTING, IDC_SET_KEY2, "IDC_SET_KEY2"}, {IDD_CUSTOM_SETTING, IDC_SET_KEY3, "IDC_SET_KEY3"},
    {IDD_CUSTOM_SETTING, IDC_CLEAR_KEY2, "IDC_CLEAR_KEY2"}, {IDD_CUSTOM_SETTING, IDC_CLEAR_KEY3, "IDC_CLEAR_KEY3"},
    {IDD_KEY_SET, IDC_KEY_SET_TEXT, "IDC_KEY_SET_TEXT"},
    {IDD_BDA_SETTING, IDC_USE_WDM, "IDC_USE_WDM"}, {IDD_BDA_SETTING, IDC_USE_BDA, "IDC_USE_BDA"},
    {IDD_PROGRAMS, IDC_PROGRAM_REMOVE, "IDC_PROGRAM_REMOVE"}, {IDD_PROGRAMS, IDC_PROGRAM_ADD, "IDC_PROGRAM_ADD"},
    {IDD_PROGRAMS, IDC_PROGRAM_BROWSE, "IDC_PROGRAM_BROWSE"}, {IDD_PROGRAMS, IDC_ONLY_LISTED, "IDC_ONLY_LISTED"},
    {IDD_PROGRAMS, IDC_PROGRAM_NOTE, "IDC_PROGRAM_NOTE"}, {IDD_BDA_SETTING, IDC_DRIVER_ENFORCED, "IDC_DRIVER_ENFORCED"},
    {IDD_CAMERA_STATUS, IDC_STATUS_HOST, "IDC_STATUS_HOST"}, {IDD_CAMERA_STATUS, IDC_STATUS_CAMERA, "IDC_STATUS_CAMERA"},
    {IDD_CAMERA_STATUS, IDC_STATUS_BUTTON, "IDC_STATUS_BUTTON"},
    {IDD_CAMERA_STATUS, IDC_STATUS_POLL_PERIOD, "IDC_STATUS_POLL_PERIOD"},
    {IDD_CAMERA_STATUS, IDC_STATUS_PRESSES, "IDC_STATUS_PRESSES"},
    {IDD_CAMERA_STATUS, IDC_STATUS_JOYSTICK, "IDC_STATUS_JOYSTICK"},
    {IDD_CAMERA_STATUS, IDC_STATUS_LAST_FAULT, "IDC_STATUS_LAST_FAULT"},
    {IDD_CAMERA_STATUS, IDC_STATUS_RESCAN, "IDC_STATUS_RESCAN"},
    {IDD_CAMERA_STATUS, IDC_STATUS_OPEN_LOG, "IDC_STATUS_OPEN_LOG"}, {IDD_CAMERA_STATUS, IDC_STATUS_COPY, "IDC_STATUS_COPY"},
};

std::string ControlName(int dialog, HWND control, int index) {
    const int id = ::GetDlgCtrlID(control);
    for (const auto& c : kControls) {
        if ((c.dialog == 0 || c.dialog == dialog) && c.id == id) return c.name;
    }
    return "static #" + std::to_string(index);  // IDC_STATIC: its place in the template
}

std::string Utf8(const std::wstring& text) {
    return ToUtf8(std::u16string(text.begin(), text.end()));
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class Check {
public:
    Check(const char* tag, Language language) : m_tag(tag), m_language(language) {}

    // The text as the control draws it (the & of an access key not counted),
    // on `lines` lines of `width` at most: its size.
    SIZE Measure(HDC dc, const std::wstring& text, int width, bool wrap, bool prefix) const {
        RECT rect{0, 0, width, 0};
        UINT flags = DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX);
        ::DrawTextW(dc, text.c_str(), -1, &rect, flags);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }

    void Fault(const std::string& where, const std::wstring& text, const std::string& why, int dpi) {
        std::printf("%s: %s: \"%s\" does not fit at %d dpi: %s\n", m_tag, where.c_str(), Utf8(text).c_str(), dpi,
                    why.c_str());
        ++m_faults;
    }

    // One control's text against its rectangle, at `dpi`.
    void Control(const std::string& where, HWND control, const std::wstring& text, const RECT& rect, UINT baseDpi,
                 UINT dpi) {
        if (text.empty()) return;
        wchar_t className[32] = {};
        ::GetClassNameW(control, className, 32);
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        HFONT own = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW font{};
        ::GetObjectW(own ? own : ::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(baseDpi));
        HFONT scaled = ::CreateFontIndirectW(&font);
        HDC dc = ::GetDC(control);
        HGDIOBJ before = ::SelectObject(dc, scaled);
        auto px = [&](int at96) { return ::MulDiv(at96, static_cast<int>(dpi), 96); };
        const int width = ::MulDiv(rect.right - rect.left, static_cast<int>(dpi), static_cast<int>(baseDpi));
        const int height = ::MulDiv(rect.bottom - rect.top, static_cast<int>(dpi), static_cast<int>(baseDpi));
        // Whether a static wraps is a matter of its template: two lines high at
        // the scale it was made for.
        TEXTMETRICW metrics{};
        HGDIOBJ scaledFont = ::SelectObject(dc, own ? own : ::GetStockObject(DEFAULT_GUI_FONT));
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, scaledFont);
        const bool twoLines = rect.bottom - rect.top >= 2 * metrics.tmHeight;
        char why[160] = {};
        if (lstrcmpiW(className, L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER || type == SS_LEFTNOWORDWRAP) {
                const bool prefix = !(style & SS_NOPREFIX);
                const bool wrap = type != SS_LEFTNOWORDWRAP && twoLines;
                const SIZE needed = Measure(dc, text, width, wrap, prefix);
                if (wrap ? needed.cy > height : needed.cx > width) {
                    std::snprintf(why, sizeof why, "needs %ldx%ld px, has %dx%d", needed.cx, needed.cy, width, height);
                    Fault(where, text, why, static_cast<int>(dpi));
                }
            }
        } else if (lstrcmpiW(className, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            const SIZE needed = Measure(dc, text, width, false, true);
            int room = width - px(6);  // the edge and the focus rectangle
            if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || type == BS_CHECKBOX ||
                type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
                room = width - px(13 + 4);  // the box and the gap before the text
            } else if (type == BS_GROUPBOX) {
                room = width - px(2 * 8);
            }
            if (needed.cx > room) {
                std::snprintf(why, sizeof why, "needs %ld px, has %d", needed.cx, room);
                Fault(where, text, why, static_cast<int>(dpi));
            }
        } else if (lstrcmpiW(className, L"Edit") == 0) {
            const SIZE needed = Measure(dc, text, width, false, false);
            const int room = width - px(2 * 3);  // the border and the margins
            if (needed.cx > room) {
                std::snprintf(why, sizeof why, "needs %ld px, has %d", needed.cx, room);
                Fault(where, text, why, static_cast<int>(dpi));
            }
        }
        ::SelectObject(dc, before);
        ::ReleaseDC(control, dc);
        ::DeleteObject(scaled);
    }

    // The texts a dialog shows beside those of its template: the longest a
    // control holds in this language.
    std::vector<std::pair<int, std::wstring>> RunTimeTexts(int dialog) const {
        std::vector<std::pair<int, std::wstring>> texts;
        if (dialog == IDD_PROGRAMS) {
            texts.emplace_back(IDC_PROGRAM_NOTE, Wide(Text(IDS_PROGRAMS_NOTE_DEPLOYED).In(m_language)));
            const std::u16string longestMode = u"Dentrix image (Alt+C,Alt+S)";
            texts.emplace_back(IDC_PROGRAM_NOTE,
                               Wide(Text(IDS_PROGRAMS_NOTE_OVERRIDE, {longestMode}).In(m_language)));
        }
        // The widest chord of the language's key names, with three modifiers.
        std::wstring chord;
        for (uint16_t key : {0x0D, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E}) {
            const std::wstring text = Wide(FormatKeyChord(key, ModShift | ModCtrl | ModAlt, m_language));
            if (text.size() > chord.size()) chord = text;
        }
        for (int edit : {IDC_KEY1_TEXT, IDC_KEY2_TEXT, IDC_KEY3_TEXT}) {
            if (dialog == IDD_CUSTOM_SETTING) texts.emplace_back(edit, chord);
        }
        if (dialog == IDD_KEY_SET) texts.emplace_back(IDC_KEY_SET_TEXT, chord);
        // The Camera Status values of fixed words; a path or a press's line
        // may run past its field, which scrolls.
        const struct {
            int id;
            Text text;
        } values[] = {
            {IDC_STATUS_HOST, Text(IDS_STATUS_HOST_NOT_STARTED)},
            {IDC_STATUS_HOST, Text(IDS_STATUS_HOST_RUNNING, {TextArg::Translated(IDS_BITS_64)})},
            {IDC_STATUS_HOST, Text(IDS_STATUS_HOST_RESTARTING, {u"60"})},
            {IDC_STATUS_HOST, Text(IDS_STATUS_HOST_STOPPED)},
            {IDC_STATUS_HOST, Text(IDS_STATUS_HOST_VERSION_MISMATCH)},
            {IDC_STATUS_CAMERA, Text(IDS_STATUS_CAMERA_NO_OBJECT)},
            {IDC_STATUS_CAMERA, Text(IDS_STATUS_CAMERA_ANSWERING)},
            {IDC_STATUS_CAMERA, Text(IDS_STATUS_CAMERA_NOT_VALID)},
            {IDC_STATUS_CAMERA, Text(IDS_STATUS_CAMERA_PORT_BUSY)},
            {IDC_STATUS_BUTTON, Text(IDS_STATUS_BUTTON_DOWN)},
            {IDC_STATUS_BUTTON, Text(IDS_STATUS_BUTTON_UP)},
            {IDC_STATUS_POLL_PERIOD, Text(IDS_STATUS_PERIOD_RAISED, {u"400", u"100"})},
            {IDC_STATUS_PRESSES, Text(IDS_STATUS_NO_PRESSES)},
            {IDC_STATUS_JOYSTICK, Text(IDS_STATUS_VJOY)},
            {IDC_STATUS_LAST_FAULT, Text(IDS_STATUS_NO_FAULT)},
        };
        for (const auto& value : values) {
            if (dialog == IDD_CAMERA_STATUS) texts.emplace_back(value.id, Wide(value.text.In(m_language)));
        }
        return texts;
    }

    void Dialog(HMODULE module, const Named& dialog, UINT baseDpi) {
        const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(
            LoadResourceInLanguage(module, RT_DIALOG, MAKEINTRESOURCEW(dialog.id)));
        HWND window = dialogTemplate ? ::CreateDialogIndirectParamW(module, dialogTemplate, nullptr, &QuietDialog, 0)
                                     : nullptr;
        if (!window) {
            std::printf("%s: %s: the dialog could not be created\n", m_tag, dialog.name);
            ++m_faults;
            return;
        }
        const std::string where = std::string(dialog.name) + ": ";
        int index = 0;
        for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ++index;
            RECT rect{};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            const std::string name = where + ControlName(dialog.id, child, index);
            std::vector<std::wstring> texts{WindowText(child)};
            for (const auto& [id, text] : RunTimeTexts(dialog.id)) {
                if (id == ::GetDlgCtrlID(child)) texts.push_back(text);
            }
            for (const std::wstring& text : texts) {
                for (UINT dpi : {96u, 144u}) Control(name, child, text, rect, baseDpi, dpi);
            }
        }
        // The caption beside the close box, in the caption font.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        RECT frame{};
        ::GetWindowRect(window, &frame);
        const std::wstring caption = WindowText(window);
        for (UINT dpi : {96u, 144u}) {
            LOGFONTW font = metrics.lfCaptionFont;
            font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(baseDpi));
            HFONT scaled = ::CreateFontIndirectW(&font);
            HDC dc = ::GetDC(window);
            HGDIOBJ before = ::SelectObject(dc, scaled);
            const SIZE needed = Measure(dc, caption, 10000, false, false);
            const int room = ::MulDiv(frame.right - frame.left, static_cast<int>(dpi), static_cast<int>(baseDpi)) -
                             ::MulDiv(2 * ::GetSystemMetrics(SM_CXSIZE) + 16, static_cast<int>(dpi), 96);
            if (needed.cx > room) {
                Fault(dialog.name + std::string(": caption"), caption,
                      "needs " + std::to_string(needed.cx) + " px, has " + std::to_string(room), static_cast<int>(dpi));
            }
            ::SelectObject(dc, before);
            ::ReleaseDC(window, dc);
            ::DeleteObject(scaled);
        }
        ::DestroyWindow(window);
    }

    // The tray menu as the frame completes it: every item has its text, and
    // the widest fits on the screen in the menu font.
    void TrayMenu(HMODULE module, UINT baseDpi) {
        HMENU menu = LoadMenuInLanguage(module, IDR_TRAYMENU);
        HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
        if (!popup) {
            std::printf("%s: tray menu: could not be loaded\n", m_tag);
            ++m_faults;
            return;
        }
        std::vector<std::wstring> items;
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            wchar_t text[256] = {};
            if (::GetMenuStringW(popup, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0) items.push_back(text);
        }
        for (const ActionPreset& row : BuiltInPresets()) items.push_back(Wide(MenuModeName(row.Name)));
        items.push_back(Wide(std::u16string(TextLine(IDS_SET_BY_ADMINISTRATOR, m_language))));
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const int screen = ::GetSystemMetrics(SM_CXSCREEN);
        for (UINT dpi : {96u, 144u}) {
            LOGFONTW font = metrics.lfMenuFont;
            font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(baseDpi));
            HFONT scaled = ::CreateFontIndirectW(&font);
            HDC dc = ::GetDC(nullptr);
            HGDIOBJ before = ::SelectObject(dc, scaled);
            for (const std::wstring& item : items) {
                const SIZE needed = Measure(dc, item, 10000, false, true);
                const int room = screen - ::MulDiv(2 * 24, static_cast<int>(dpi), 96);  // check and arrow columns
                if (needed.cx > room) {
                    Fault("tray menu", item, "needs " + std::to_string(needed.cx) + " px", static_cast<int>(dpi));
                }
            }
            ::SelectObject(dc, before);
            ::ReleaseDC(nullptr, dc);
            ::DeleteObject(scaled);
        }
        ::DestroyMenu(menu);
    }

    int Faults() const { return m_faults; }

private:
    const char* m_tag;
    Language m_language;
    int m_faults = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string tag = argc > 1 ? argv[1] : "";
    Language language = Language::English;
    if (!MatchLanguageTag(std::u16string(tag.begin(), tag.end()), language) || tag.size() > 8) {
        std::printf("usage: dialogs_layout_check <language tag>, one of Brelkin's ten\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    SetDisplayLanguage(language);
    const auto langId = static_cast<LANGID>(LanguageResourceId(language));
    SetResourceLanguage(langId);
    HMODULE module = ::GetModuleHandleW(nullptr);

    // The language's own resources, not English in their place.
    int missing = 0;
    for (const Named& dialog : kDialogs) {
        if (!::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(dialog.id), langId)) {
            std::printf("%s: %s: no dialog template in this language\n", tag.c_str(), dialog.name);
            ++missing;
        }
    }
    if (!::FindResourceExW(module, RT_MENU, MAKEINTRESOURCEW(IDR_TRAYMENU), langId)) {
        std::printf("%s: tray menu: no menu in this language\n", tag.c_str());
        ++missing;
    }
    if (missing) return 2;

    HDC screen = ::GetDC(nullptr);
    const UINT baseDpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSY));
    // Measured without the glyphs, Japanese and Chinese texts would pass at a
    // fraction of their width: an ideograph is about one em wide.
    if (language == Language::Japanese || language == Language::ChineseSimplified) {
        LOGFONTW dialogFont{};
        dialogFont.lfHeight = -::MulDiv(8, static_cast<int>(baseDpi), 72);
        lstrcpyW(dialogFont.lfFaceName, L"MS Shell Dlg");
        HFONT font = ::CreateFontIndirectW(&dialogFont);
        HGDIOBJ before = ::SelectObject(screen, font);
        SIZE ideograph{};
        ::GetTextExtentPoint32W(screen, L"\u56fd", 1, &ideograph);
        ::SelectObject(screen, before);
        ::DeleteObject(font);
        if (ideograph.cx * 100 < -dialogFont.lfHeight * 85) {
            std::printf("%s: the dialogs' font has no glyphs for this language here (an ideograph is %ld px "
                        "wide at %ld px): install fonts-noto-cjk and run in its locale\n",
                        tag.c_str(), ideograph.cx, -dialogFont.lfHeight);
            ::ReleaseDC(nullptr, screen);
            return 2;
        }
    }
    ::ReleaseDC(nullptr, screen);
    Check check(tag.c_str(), language);
    for (const Named& dialog : kDialogs) check.Dialog(module, dialog, baseDpi);
    check.TrayMenu(module, baseDpi);
    if (check.Faults() > 0) {
        std::printf("%s: %d texts do not fit\n", tag.c_str(), check.Faults());
        return 1;
    }
    std::printf("%s: every dialog's and the tray menu's texts fit at 96 and 144 dpi\n", tag.c_str());
    return 0;
}
