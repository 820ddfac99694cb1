#pragma once
// Chooses, once a press has fired in a key mode, the row that it sends.
#include <cstddef>
#include <cstdint>

#include "engine/ActionPreset.h"
#include "engine/ProgramRules.h"
#include "platform/ForegroundProgram.h"

namespace brelkin {

// The program in front as a press found it: its chords go to it and to no
// other, in the same window, and while a title rule decided the mode, only
// while that window's title still matches the rule's pattern.
struct ProgramInFront {
    bool known = false;  // false: nobody looked, so nothing is checked
    std::size_t length = 0;  // 0: there was none, or its name could not be read
    char16_t path[ImagePathCapacity];
    std::uintptr_t window = 0;
    bool titled = false;  // a title rule decided the mode
    std::size_t patternLength = 0;
    char16_t pattern[MaxTitlePatternLength];
};

class IPressRowResolver {
public:
    virtual ~IPressRowResolver() = default;

    // `mode` holds the gesture's mode on entry and the mode of the row to send
    // on return; false when the press is to send nothing. `program` is set to
    // the program in front that decided it. May restart `step`, the
    // gesture's one-by-one step. Allocates nothing.
    virtual bool ResolvePressRow(Gesture gesture, TriggerMode& mode, SequenceStep& step,
                                 ProgramInFront& program) = 0;
};

}  // namespace brelkin
