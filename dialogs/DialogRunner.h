#pragma once
// The settings dialogs as the main frame and the application open them.
#include "shell/DialogRunner.h"

namespace brelkin {

class DialogRunner final : public IDialogRunner {
public:
    bool EditCustomRow(ActionPreset& customRow) override;
    bool ChooseDriverKind(DriverKind current, DriverKind& chosen) override;
    void ShowAbout() override;
    bool EditProgramRules(ProgramRuleSet& rules, const PresetTable& presets, TriggerMode current) override;
};

}  // namespace brelkin
