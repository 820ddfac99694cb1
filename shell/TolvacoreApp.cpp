#include "shell/TolvacoreApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/Language.h"
#include "engine/Texts.h"
#include "framework/ResourceLanguage.h"
#include "resources/resource.h"
#include "settings/LanguageSetting.h"
#include "settings/LayeredProfile.h"
#include "shell/FrameTexts.h"
#include "shell/MainFrame.h"

namespace brelkin {

namespace {

// Windows' preferred display languages of the user, the one in use first:
// the list where Windows keeps one (Vista and later), else the one language.
std::vector<std::u16string> PreferredDisplayLanguages() {
    using GetLanguagesFunction = BOOL(WINAPI*)(DWORD, PULONG, PZZWSTR, PULONG);
    std::vector<std::u16string> tags;
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto getLanguages = kernel ? reinterpret_cast<GetLanguagesFunction>(reinterpret_cast<void*>(
                                           ::GetProcAddress(kernel, "GetUserPreferredUILanguages")))
                                     : nullptr;
    ULONG count = 0;
    ULONG size = 0;
    if (getLanguages && getLanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0 && size < 4096) {
        std::wstring list(size, L'\0');
        if (getLanguages(MUI_LANGUAGE_NAME, &count, list.data(), &size)) {
            for (const wchar_t* tag = list.c_str(); *tag; tag += wcslen(tag) + 1) {
                tags.emplace_back(reinterpret_cast<const char16_t*>(tag));
            }
        }
    }
    Language language;
    if (tags.empty() && MatchLanguageId(::GetUserDefaultUILanguage(), language)) {
        const char* tag = LanguageTag(language);
        tags.emplace_back(tag, tag + strlen(tag));
    }
    return tags;
}

}  // namespace

static_assert(MainFrameStyle == (WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE), "the frame's style word");

BEGIN_MESSAGE_MAP(CTolvacoreApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CTolvacoreApp::CTolvacoreApp() : m_logFile(SupportLogPath()), m_supportLog(m_logFile) {
    m_services.supportLog = &m_supportLog;
    m_services.integrity = &m_integrity;
    m_services.openSupportLog = [this] {
        const std::wstring& path = m_logFile.Path();
        // No program is associated with .log on a bare system: Notepad is on every one.
        const auto opened = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened <= 32) {
            const std::wstring quoted = L"\"" + path + L"\"";
            ::ShellExecuteW(nullptr, L"open", L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
        }
    };
    m_services.notifyIcon = &m_shellNotifyIcon;
    m_services.dialogs = &m_noDialogs;
    m_services.foreground = &m_foreground;
    m_services.makeDevices = &MakeWin32FrameDevices;
}

std::unique_ptr<brelkin::IProfile> CTolvacoreApp::LayerProfiles(brelkin::IProfile& user,
                                                               brelkin::IProfile& machine) {
    return std::make_unique<brelkin::LayeredProfile>(brelkin::PolicyLayers(
        {m_enforcedByComputer, m_enforcedForUser, user, m_recommendedByComputer, m_recommendedForUser, machine}));
}

bool CTolvacoreApp::InitInstance() {
    // Auto-reset, not signalled, without a namespace prefix: one instance per
    // user logon. The handle is kept even when the event already existed, so
    // that ExitInstance closes it.
    m_instanceEvent.reset(::CreateEventW(nullptr, FALSE, FALSE, AppName().c_str()));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    LogStart();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    SetRegistryKey(L"Morvane");
    ChooseDisplayLanguage();

    auto* frame = new (std::nothrow) CMainFrame(m_services);
    if (!frame) return false;
    m_pMainWnd = frame;
    // A frame whose creation fails destroys itself and posts the quit message,
    // but one whose window could not be made at all would leave the loop
    // running with no window and no icon.
    if (!frame->LoadFrame(IDR_MAINFRAME, MainFrameStyle, nullptr, nullptr) && m_pMainWnd == frame) {
        m_pMainWnd = nullptr;
        delete frame;
        return false;
    }
    return true;
}

void CTolvacoreApp::LogStart() {
    // RtlGetVersion tells the true version, whatever the manifest declares.
    RTL_OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        auto get = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")));
        if (get) get(&version);
    }
    m_supportLog.Write(StartLine(BRELKIN_VERSION, sizeof(void*) == 8,
                                 {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber}));
}

// Before the frame: the menu, the dialogs and every balloon are in it.
void CTolvacoreApp::ChooseDisplayLanguage() {
    const std::u16string setting = ReadLanguageSetting(Profile());
    const LanguageChoice choice = ChooseLanguage(setting, PreferredDisplayLanguages());
    SetDisplayLanguage(choice.language);
    SetResourceLanguage(LanguageResourceId(choice.language));
    m_supportLog.Write(LanguageLine(choice, setting));
}

int CTolvacoreApp::ExitInstance() {
    m_instanceEvent.reset();
    return CWinApp::ExitInstance();
}

void CTolvacoreApp::OnAppAbout() {
    m_services.dialogs->ShowAbout();
}

}  // namespace brelkin
