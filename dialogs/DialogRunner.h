#pragma once
// The dialogs that the tray menu opens, as the main frame and the
// application see them: the interface, a runner that cancels everything (the
// shell keeps it until the dialogs are plugged in through
// CTolvacoreApp::SetDialogRunner) and the runner over the real dialogs.
#include "engine/ActionPreset.h"
#include "engine/DriverKind.h"
#include "engine/ProgramRules.h"

namespace brelkin {

// The custom row's fields that a policy enforces: the dialog shows them greyed.
// A chord is locked when its key or its modifiers are.
struct CustomRowLocks {
    bool chords[3] = {false, false, false};
    bool timing = false;  // OneByOne
    bool delayTime = false;
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
    bool EditCustomRow(ActionPreset& customRow, const CustomRowLocks& locks = {}) override;
    bool ChooseDriverKind(DriverKind current, DriverKind& chosen, bool enforced = false) override;
    void ShowAbout() override;
    bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) override;
};

}  // namespace brelkin
