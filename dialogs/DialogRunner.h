#pragma once
// The dialogs that the tray menu opens, as the main frame and the
// application see them: the interface, a runner that cancels everything (the
// shell keeps it until the dialogs are plugged in through
// CTolvacoreApp::SetDialogRunner) and the runner over the real dialogs.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ActionPreset.h"
#include "engine/DriverKind.h"
#include "engine/ProgramRules.h"

namespace brelkin {

// The Camera Status window as the frame sees it: open or not, in front or
// not, and the values of its lines.
class ICameraStatusWindow {
public:
    // Given the window's lines ("label value", one a line), the whole text
    // that Copy Details puts on the clipboard.
    using StatusDetails = std::function<std::u16string(std::u16string_view lines)>;

    virtual ~ICameraStatusWindow() = default;
    // Opens it, owned by the window `owner`, or brings the open one to the front.
    virtual void Open(uintptr_t owner, StatusDetails details) = 0;
    virtual bool IsOpen() = 0;
    // The active window: a press is tried there, not sent.
    virtual bool IsActive() = 0;
    // One value per line, in the window's order; only what changed is set.
    virtual void Show(const std::vector<std::u16string>& values, bool buttonDown) = 0;
};

// Never open.
class NoCameraStatusWindow final : public ICameraStatusWindow {
public:
    void Open(uintptr_t, StatusDetails) override {}
    bool IsOpen() override { return false; }
    bool IsActive() override { return false; }
    void Show(const std::vector<std::u16string>&, bool) override {}
};

// The custom row's fields that a policy enforces: the dialog shows them greyed.
// A chord is locked when its key or its modifiers are.
struct CustomRowLocks {
    bool chords[3] = {false, false, false};
    bool timing = false;  // OneByOne
    bool delayTime = false;
};

// The long and the double press's values that a policy enforces.
struct GestureLocks {
    bool longPressMode = false;
    bool longPressTime = false;
    bool doublePressMode = false;
    bool doublePressTime = false;
};

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // True on OK; `customRow` then holds the confirmed keys, masks, timing and
    // delay, the locked ones as they came in.
    virtual bool EditCustomRow(ActionPreset& customRow, const CustomRowLocks& locks = {}) = 0;
    // True on OK; `chosen` then holds the selected kind. An enforced kind is
    // shown greyed, with the administrator's note, and comes back unchanged.
    virtual bool ChooseDriverKind(DriverKind current, DriverKind& chosen, bool enforced = false) = 0;
    virtual void ShowAbout() = 0;
    // True on OK; `rules` then holds the edited rules. The modes offered are
    // the rows of `presets`; a new rule starts with `current` when that is a
    // key mode, else with the first row.
    virtual bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) = 0;
    // True on OK; `gestures` then holds the chosen modes and times, the
    // locked ones as they came in. The modes offered are None and the rows
    // of `presets`.
    virtual bool EditGestures(GestureSettings&, const PresetTable&, const GestureLocks& = {}) { return false; }
    // The one Camera Status window, whether it is open or not.
    virtual ICameraStatusWindow& CameraStatus() {
        static NoCameraStatusWindow none;
        return none;
    }
};

// Cancels every dialog without showing anything.
class NoDialogRunner final : public IDialogRunner {
public:
    bool EditCustomRow(ActionPreset&, const CustomRowLocks& = {}) override { return false; }
    bool ChooseDriverKind(DriverKind, DriverKind&, bool = false) override { return false; }
    void ShowAbout() override {}
    bool EditProgramRules(ProgramRuleSet&, const PresetTable&, TriggerMode) override { return false; }
};

// The real settings dialogs.
class DialogRunner final : public IDialogRunner {
public:
    DialogRunner();
    ~DialogRunner() override;
    bool EditCustomRow(ActionPreset& customRow, const CustomRowLocks& locks = {}) override;
    bool ChooseDriverKind(DriverKind current, DriverKind& chosen, bool enforced = false) override;
    void ShowAbout() override;
    bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) override;
    bool EditGestures(GestureSettings& gestures, const PresetTable& presets, const GestureLocks& locks = {}) override;
    ICameraStatusWindow& CameraStatus() override;

private:
    std::unique_ptr<ICameraStatusWindow> m_cameraStatus;
};

}  // namespace brelkin
