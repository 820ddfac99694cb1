#pragma once
// Chooses, once a press has fired in a key mode, the row that it sends.
#include "engine/ActionPreset.h"

namespace brelkin {

class IPressRowResolver {
public:
    virtual ~IPressRowResolver() = default;

    // `mode` holds the current mode on entry and the mode of the row to send
    // on return; false when the press is to send nothing. May restart
    // `state.sequenceStep`. Allocates nothing.
    virtual bool ResolvePressRow(TriggerState& state, TriggerMode& mode) = 0;
};

}  // namespace brelkin
