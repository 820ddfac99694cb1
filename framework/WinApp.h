#pragma once
// The application object: one per process. RunApplication drives its life:
// InitInstance, the message loop, ExitInstance. Its message map is the last
// stop of command routing, after the main frame's.
#include <windows.h>

#include <memory>
#include <string>

#include "framework/MessageMap.h"
#include "platform/Profile.h"  // also keeps <windows.h> from renaming the profile functions

class CWnd;

// Command and string ids that belong to the framework.
constexpr UINT IdAppAbout = 0xE140;     // 57664
constexpr UINT IdAppExit = 0xE141;      // 57665
constexpr UINT IdsAppTitle = 0xE000;    // 57344, the application name

class CWinApp : public CCmdTarget {
public:
    // Without a name, the application takes it from string resource 57344.
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Get();

    // The whole life of the application; returns the process exit code.
    int RunApplication(HINSTANCE instance);

    // False ends the application at once (after ExitInstance).
    virtual bool InitInstance();
    // Returns the exit code: the quit message's parameter.
    virtual int ExitInstance();
    virtual int Run();
    // ExitInstance, once however many ways the application ends (the end of
    // the session, then the end of the loop); later calls return its result.
    int EndInstance();

    // From here on the profile functions use
    // HKEY_CURRENT_USER\Software\<registryKey>\<application name>, over the
    // same path under HKEY_LOCAL_MACHINE as LayerProfiles combines them.
    void SetRegistryKey(const wchar_t* registryKey);
    // Before SetRegistryKey the profile reads give their defaults and writes fail.
    brelkin::IProfile& Profile();
    UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
    std::wstring GetProfileString(const wchar_t* section, const wchar_t* entry,
                                  const wchar_t* defaultValue = L"");
    bool WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value);
    bool WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value);

    const std::wstring& AppName() const { return m_appName; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    // How the user's and the machine's keys make the application's profile;
    // both outlive the result. Null, the default, uses the user's key alone.
    virtual std::unique_ptr<brelkin::IProfile> LayerProfiles(brelkin::IProfile& user, brelkin::IProfile& machine);

    // Sends WM_CLOSE to the main window.
    void OnAppExit();

    DECLARE_MESSAGE_MAP()

private:
    std::wstring m_appName;
    std::wstring m_registryKey;
    // Declared before the profile that layers them, so destroyed after it.
    std::unique_ptr<brelkin::IProfile> m_userProfile;
    std::unique_ptr<brelkin::IProfile> m_machineProfile;
    std::unique_ptr<brelkin::IProfile> m_profile;
    int m_exitCode = 0;
    bool m_ended = false;
    int m_endResult = 0;
};
