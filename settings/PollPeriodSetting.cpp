#include "settings/PollPeriodSetting.h"

#include "engine/AdaptivePollPeriod.h"
#include "settings/AppSettings.h"

namespace brelkin {

uint32_t ReadPollPeriod(IProfile& profile) {
    const uint32_t stored =
        profile.GetProfileInt(settings_names::Section, settings_names::PollPeriod, DefaultPollPeriod);
    return stored >= MinPollPeriod && stored <= MaxPollPeriod ? stored : DefaultPollPeriod;
}

}  // namespace brelkin
