#pragma once
// The parts of the shell that come from outside it, chosen once when the
// application starts: the real ones in Brelkin.exe, recording ones in tests.
#include <functional>
#include <memory>

#include "engine/ActionPreset.h"
#include "platform/ForegroundProgram.h"
#include "platform/ProcessIntegrity.h"
#include "platform/SupportLog.h"
#include "dialogs/DialogRunner.h"
#include "shell/FrameDevices.h"
#include "shell/NotifyIcon.h"
#include "shell/SystemTray.h"

namespace brelkin {

struct ShellServices {
    INotifyIcon* notifyIcon = nullptr;
    IDialogRunner* dialogs = nullptr;
    // Null: no program is ever known to be in front, so only the current mode decides.
    IForegroundProgram* foreground = nullptr;
    std::function<std::unique_ptr<IFrameDevices>(SequenceStep&)> makeDevices;
    TrayAddRetry trayAddRetry;
    ISupportLog* supportLog = nullptr;         // none: nothing is logged
    IProcessIntegrity* integrity = nullptr;    // none: the key target is not checked
    std::function<void()> openSupportLog;      // a click on a balloon
};

}  // namespace brelkin
