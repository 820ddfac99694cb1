#pragma once
// The dialogs that the tray menu opens, as the main frame and the
// application see them: the interface, a runner that cancels everything (the
// shell keeps it until the dialogs are plugged in through
// CTolvacoreApp::SetDialogRunner) and the runner over the real dialogs.
#include "engine/ActionPreset.h"
#include "engine/DriverKind.h"
#include "engine/ProgramRules.h"

namespace brelkin {

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // True on OK; `customRow` then holds the confirmed keys, masks, timing and delay.
    virtual bool EditCustomRow(ActionPreset& customRow) = 0;
    // True on OK; `chosen` then holds the selected kind.
    virtual bool ChooseDriverKind(DriverKind current, DriverKind& chosen) = 0;
    virtual void ShowAbout() = 0;
    // True on OK; `rules` then holds the edited rules. The modes offered are
    // the rows of `presets`; a new rule starts with `current` when that is a
    // key mode, else with the first row.
    virtual bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) = 0;
};

// Cancels every dialog without showing anything.
class NoDialogRunner final : public IDialogRunner {
public:
    bool EditCustomRow(ActionPreset&) override { return false; }
    bool ChooseDriverKind(DriverKind, DriverKind&) override { return false; }
    void ShowAbout() override {}
    bool EditProgramRules(ProgramRuleSet&, const PresetTable&, TriggerMode) override { return false; }
};

// The real settings dialogs.
class DialogRunner final : public IDialogRunner {
public:
    bool EditCustomRow(ActionPreset& customRow) override;
    bool ChooseDriverKind(DriverKind current, DriverKind& chosen) override;
    void ShowAbout() override;
    bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) override;
};

}  // namespace brelkin
