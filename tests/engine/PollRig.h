#pragma once
// The rig of the poll tests: one tick over a fake camera, joystick and
// keyboard, with the chords sent at once; and the count of heap allocations
// while a tick runs, which must stay at zero.
#include <string>
#include <vector>

#include "engine/ButtonPoll.h"
#include "tests/engine/EngineFakes.h"

namespace brelkin {
namespace test {

// Counted only while `countAllocations` is set (AllocationCount.cpp replaces
// operator new for the test executable).
extern bool countAllocations;
extern int allocations;

}  // namespace test

using test::Chords;
using test::FakeCamera;
using test::FakeForeground;
using test::FakeJoystick;
using test::RecordingInput;

using Press = std::vector<std::string>;  // what one press sends, chord by chord
const Press AltF{"Alt+F"}, AltT{"Alt+T"}, C{"C"}, U{"U"}, F5{"F5"}, ShiftCtrlV{"Shift+Ctrl+V"}, Enter{"Enter"},
    CtrlI{"Ctrl+I"}, AltC{"Alt+C"}, AltS{"Alt+S"}, Space{"Space"}, T{"T"}, G{"G"},
    Vixwin{"Alt+G", "sleep 50", "Space", "sleep 50"};
const Press None{};

struct Rig {
    TriggerState state;
    FakeCamera camera;
    PressFilter press;
    FakeJoystick joystick;
    RecordingInput input;
    ImmediatePressSender sender{input, input};
    uint64_t now = 0;

    // Ticks 400 ms apart, so that every tick that finds the button down is a press.
    PollOutcome Poll(ICameraButton* selected) {
        now += 400000;
        return PollButton(state, selected, now, press, joystick, sender);
    }
    // Runs one tick and returns what it sent.
    Press Tick() {
        input.Clear();
        Poll(&camera);
        return Chords(input.log);
    }
    // A tick while the Camera Status window is in front; returns what it handed over.
    Press TryTick() {
        input.Clear();
        now += 400000;
        AnswerTriedReading(state, ReadButton(&camera), now, press, sender);
        return Chords(input.log);
    }
};

}  // namespace brelkin
