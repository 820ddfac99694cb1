#include "engine/RemoteSessionClients.h"

#include "engine/ProgramRules.h"

namespace brelkin {

namespace {

// The one list of them.
constexpr std::u16string_view kClients[] = {
    u"mstsc.exe",             // Remote Desktop Connection
    u"msrdc.exe",             // the Windows App and the Remote Desktop app
    u"wfica32.exe",           // Citrix Workspace, a session
    u"CDViewer.exe",          // Citrix Workspace, a published application
    u"vmware-view.exe",       // VMware Horizon
    u"vmware-remotemks.exe",  // VMware Horizon, the session's display
};

}  // namespace

std::u16string_view RemoteSessionClient(std::u16string_view imagePath) {
    const std::u16string_view name = ImageFileName(imagePath);
    for (std::u16string_view client : kClients)
        if (SameProgramName(name, client)) return name;
    return {};
}

}  // namespace brelkin
