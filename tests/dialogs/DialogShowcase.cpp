// Opens one settings dialog with typical contents and closes it after a few
// seconds, so that scripts/render-dialogs can photograph it.
//   dialogs_showcase about|custom|keyset|bda|range|programs|status [language tag]
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/AboutDialog.h"
#include "dialogs/BdaSettingDialog.h"
#include "dialogs/CameraStatusDialog.h"
#include "device/CameraStatusLines.h"
#include "dialogs/CustomSettingDialog.h"
#include "dialogs/KeySetDialog.h"
#include "dialogs/ProgramsDialog.h"
#include "engine/ActionPreset.h"
#include "engine/Language.h"
#include "engine/Texts.h"
#include "framework/ResourceLanguage.h"
#include "framework/WinApp.h"
#include "resources/dialogs/DialogIds.h"

namespace {

CWinApp g_app(L"Tolvacore");

BOOL CALLBACK EndOne(HWND hwnd, LPARAM) {
    ::EndDialog(hwnd, IDCANCEL);
    return TRUE;
}

void CALLBACK CloseAll(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &EndOne, 0);
}

// Shows the range message over the Custom Settings dialog.
void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND dialog = ::FindWindowW(L"#32770", nullptr);  // the only dialog, in any language
    ::SetDlgItemTextW(dialog, IDC_DELAY_TIME, L"99");
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// Shows a captured chord in the Key Set dialog.
void CALLBACK ShowChord(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_keySetTarget) {
        g_keySetTarget->OnKeyPressed(VK_SHIFT);
        g_keySetTarget->OnKeyPressed(VK_CONTROL);
        g_keySetTarget->OnKeyReleased('V');
    }
}

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) {
    ::PostQuitMessage(0);
}

// The Camera Status window as a press tried in it leaves it.
void ShowCameraStatus() {
    brelkin::CameraStatusView view;
    view.camera.library.library = u"BDADLL.dll";
    view.camera.library.path = u"C:\\Program Files\\Brelkin\\BDADLL.dll";
    view.camera.library.libraryBits = 32;
    view.libraryVersion = u"2.1.0.7";
    view.camera.host = brelkin::HostState::Running;
    view.camera.hostBits = 32;
    view.camera.camera = brelkin::CameraState::Answering;
    view.camera.reading = brelkin::ButtonReading::Down;
    view.driver = brelkin::DriverBda;
    view.period = view.configuredPeriod = 50;
    view.press.count = 3;
    view.press.time = {14, 2, 7};
    view.press.mode = u"Schick (Alt+F,Alt+T)";
    view.press.chords = u"Alt+T";
    view.press.notSent = brelkin::PressNotSent::StatusInFront;
    view.joystick.backEnd = brelkin::JoystickBackEnd::VJoy;
    const brelkin::CameraStatusValues values = brelkin::DescribeCameraStatus(view);
    brelkin::CDlgCameraStatus dialog;
    dialog.Open(0, nullptr);
    dialog.Show(std::vector<std::u16string>(values.begin(), values.end()), true);
    ::SetTimer(nullptr, 0, 4000, &EndLoop);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (CDialog::PreTranslateModeless(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "about";
    const std::string tag = argc > 2 ? argv[2] : "en";
    brelkin::Language language = brelkin::Language::English;
    brelkin::MatchLanguageTag(std::u16string(tag.begin(), tag.end()), language);
    brelkin::SetDisplayLanguage(language);
    SetResourceLanguage(brelkin::LanguageResourceId(language));
    ::SetTimer(nullptr, 0, 4000, &CloseAll);
    if (which == "status") {
        ShowCameraStatus();
    } else if (which == "about") {
        CAboutDlg().DoModal();
    } else if (which == "keyset") {
        ::SetTimer(nullptr, 0, 300, &ShowChord);
        CDlgKeySet().DoModal();
    } else if (which == "programs") {
        CDlgPrograms dialog;
        // The first one deployed, as an administrator's rule is shown.
        dialog.m_rules = {{{u"dexis.exe", u"DEXIS (Space,T)", true, u"DEXIS (Space,T)"},
                           {u"sidexis.exe", u"SIDEXIS (Ctrl+Shift+V)"},
                           {u"viewer.exe", u"Custom Setting"}},
                          true};
        for (const brelkin::ActionPreset& row : brelkin::BuiltInPresets()) {
            dialog.m_modeNames.emplace_back(row.Name);
        }
        dialog.m_newRuleMode = dialog.m_modeNames[0];
        dialog.m_openWindows = {{u"notepad.exe", u"Untitled - Notepad"}, {u"chart.exe", u"Chart - Smith, Anna"}};
        dialog.DoModal();
    } else if (which == "bda") {
        CDlgBDASetting dialog;
        dialog.m_driverIndex = 1;
        dialog.DoModal();
    } else {
        CDlgCustomSetting dialog;
        dialog.m_key1 = 'V';
        dialog.m_modifiers1 = 3;
        dialog.m_key2 = VK_F5;
        dialog.m_modifiers2 = 4;
        dialog.m_key3 = VK_SPACE;
        dialog.m_modifiers3 = 2;
        dialog.m_delayTime = 5000;
        dialog.m_timing = 1;
        if (which == "range") ::SetTimer(nullptr, 0, 300, &PressOk);
        dialog.DoModal();
    }
    return 0;
}
