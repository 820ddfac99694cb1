// The application's profile functions over the per-user registry, with the
// machine-wide key beneath it as the application layers them.
#include <windows.h>

#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "platform/Profile.h"
#include "platform/win32/RegistryProfile.h"

namespace {

// Before SetRegistryKey there is nowhere to keep settings.
class NoProfile final : public brelkin::IProfile {
public:
    std::optional<uint32_t> FindProfileInt(std::u16string_view, std::u16string_view) override {
        return std::nullopt;
    }
    std::optional<std::u16string> FindProfileString(std::u16string_view,
                                                    std::u16string_view) override {
        return std::nullopt;
    }
    bool WriteProfileInt(std::u16string_view, std::u16string_view, uint32_t) override {
        return false;
    }
    bool WriteProfileString(std::u16string_view, std::u16string_view,
                            std::u16string_view) override {
        return false;
    }
    std::vector<std::u16string> GetProfileEntries(std::u16string_view, std::size_t) override { return {}; }
    bool DeleteProfileEntry(std::u16string_view, std::u16string_view) override { return false; }
};

std::u16string_view U16(const wchar_t* text) {
    return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text))
                : std::u16string_view();
}

}  // namespace

void CWinApp::SetRegistryKey(const wchar_t* registryKey) {
    using brelkin::RegistryProfile;
    m_registryKey = registryKey ? registryKey : L"";
    // The layers first, so that the profile that refers to them is the one
    // that is replaced before them.
    m_profile.reset();
    m_userProfile = std::make_unique<RegistryProfile>(U16(m_registryKey.c_str()), U16(m_appName.c_str()));
    m_machineProfile = std::make_unique<RegistryProfile>(U16(m_registryKey.c_str()), U16(m_appName.c_str()),
                                                         brelkin::RegistryScope::Machine);
    m_profile = LayerProfiles(*m_userProfile, *m_machineProfile);
}

std::unique_ptr<brelkin::IProfile> CWinApp::LayerProfiles(brelkin::IProfile&, brelkin::IProfile&) {
    return nullptr;
}

brelkin::IProfile& CWinApp::Profile() {
    if (m_profile) return *m_profile;
    if (m_userProfile) return *m_userProfile;
    m_profile = std::make_unique<NoProfile>();
    return *m_profile;
}

UINT CWinApp::GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) {
    return Profile().GetProfileInt(U16(section), U16(entry), static_cast<uint32_t>(defaultValue));
}

std::wstring CWinApp::GetProfileString(const wchar_t* section, const wchar_t* entry,
                                       const wchar_t* defaultValue) {
    return ToWide(Profile().GetProfileString(U16(section), U16(entry), U16(defaultValue)));
}

bool CWinApp::WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value) {
    return Profile().WriteProfileInt(U16(section), U16(entry), static_cast<uint32_t>(value));
}

bool CWinApp::WriteProfileString(const wchar_t* section, const wchar_t* entry,
                                 const wchar_t* value) {
    return Profile().WriteProfileString(U16(section), U16(entry), U16(value));
}
