#include "device/CameraStatusLines.h"

#include <cstdio>

#include "device/CameraNotices.h"
#include "engine/Utf8.h"

namespace brelkin {

namespace {

std::u16string U16(std::string_view text) {
    return FromUtf8(text);
}

std::u16string Number(uint64_t value) {
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string Time(ClockTime t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.hour % 24, t.minute % 60, t.second % 60);
    return U16(text);
}

std::u16string Bits(unsigned bits) {
    return bits == 32 ? u"32-bit" : bits == 64 ? u"64-bit" : u"bitness unknown";
}

std::u16string Library(const CameraStatusView& view) {
    const LibraryLoadReport& r = view.camera.library;
    if (r.status == LibraryLoadStatus::Missing || r.path.empty()) {
        if (r.programFolder.empty() && r.systemFolder.empty())
            return r.library + u" not found in Brelkin's folder or the system folder";
        return r.library + u" not found; looked in " + r.programFolder + u" and " + r.systemFolder;
    }
    std::u16string line = r.path + u" (" + Bits(r.libraryBits) + u", " +
                          (view.libraryVersion.empty() ? u"no version resource" : u"version " + view.libraryVersion) +
                          u")";
    switch (r.status) {
    case LibraryLoadStatus::Loaded:
    case LibraryLoadStatus::Missing: return line;
    case LibraryLoadStatus::WrongBitness:
        return line + u": not usable by this " + Bits(r.programBits) + u" Brelkin";
    case LibraryLoadStatus::LoadFailed:
        return line + u": not loaded" + (r.errorText.empty() ? u"" : u" (" + r.errorText + u")");
    case LibraryLoadStatus::NotCameraLibrary: return line + u": not a camera library";
    case LibraryLoadStatus::MemberMissing: return line + u": lacks " + U16(r.member);
    }
    return line;
}

std::u16string Host(const CameraStatusView& view) {
    const CameraStatus& s = view.camera;
    switch (s.host) {
    case HostState::NotStarted: return u"not started";
    case HostState::Running: return u"running (" + Bits(s.hostBits) + u")";
    case HostState::Restarting: {
        const uint64_t left = s.restartAtMs > view.nowMs ? s.restartAtMs - view.nowMs : 0;
        return u"restarting in " + Number((left + 999) / 1000) + u" s";
    }
    case HostState::Stopped: return u"stopped after repeated faults; next step: Rescan Camera";
    case HostState::CannotStart: return u"cannot start: " + s.cannotStart;
    case HostState::VersionMismatch: return u"does not match this Brelkin; next step: reinstall Brelkin";
    }
    return u"";
}

std::u16string Camera(CameraState state) {
    switch (state) {
    case CameraState::NoCameraObject: return u"no camera object";
    case CameraState::Answering: return u"answering";
    case CameraState::NotValid: return u"interface not valid";
    case CameraState::PortBusy: return u"port busy";
    }
    return u"";
}

std::u16string Period(const CameraStatusView& view) {
    std::u16string line = Number(view.period) + u" ms";
    if (view.configuredPeriod != 0 && view.period > view.configuredPeriod)
        line += u" (configured " + Number(view.configuredPeriod) + u" ms; raised while the camera's calls are slow)";
    return line;
}

std::u16string Presses(const PressRecord& p) {
    if (p.count == 0) return u"none yet";
    std::u16string line = Number(p.count) + u"; the last at " + Time(p.time) + u": ";
    if (!p.mode.empty()) {
        line += p.mode;
        if (!p.ruleProgram.empty()) line += u" (the rule for " + p.ruleProgram + u")";
    }
    const std::u16string sent = p.chords.empty() ? std::u16string() : u", " + p.chords;
    switch (p.notSent) {
    case PressNotSent::None: return line + sent;
    case PressNotSent::StatusInFront: return line + sent + u" (not sent: Camera Status is in front)";
    case PressNotSent::OtherProgramInFront:
        return line + sent + u" (not all sent: another program came to the front)";
    case PressNotSent::OnlyListedPrograms:
        return line + u", nothing sent: only listed programs get keys, and " +
               (p.refusedProgram.empty() ? std::u16string(u"the program in front") : p.refusedProgram) +
               u" is not listed";
    case PressNotSent::WhileChordsWentOut:
        return line + u", nothing sent: the chords of the press before were still going out";
    case PressNotSent::JoystickMode: return line + u", no chords in joystick mode";
    }
    return line;
}

std::u16string Joystick(JoystickStatus joystick) {
    switch (joystick.backEnd) {
    case JoystickBackEnd::PPJoy: return u"PPJoy";
    case JoystickBackEnd::VJoy: return u"vJoy device 1";
    case JoystickBackEnd::None: break;
    }
    return u"not available: " + U16(DescribeJoystickRefusal(joystick.refusal));
}

}  // namespace

CameraStatusValues DescribeCameraStatus(const CameraStatusView& view) {
    CameraStatusValues values;
    values[StatusLibrary] = Library(view);
    values[StatusDriver] = U16(DriverKindName(view.driver));
    values[StatusHost] = Host(view);
    values[StatusCamera] = Camera(view.camera.camera);
    values[StatusButton] = view.camera.reading == ButtonReading::Down ? u"Down" : u"Up";
    values[StatusPollPeriod] = Period(view);
    values[StatusPresses] = Presses(view.press);
    values[StatusJoystick] = Joystick(view.joystick);
    values[StatusLastFault] =
        view.camera.lastFault.empty() ? u"None" : Time(view.lastFaultTime) + u" " + U16(view.camera.lastFault);
    return values;
}

std::u16string StatusDetailsTitle(std::u16string_view version, bool x64) {
    return u"Brelkin " + std::u16string(version) + (x64 ? u", x64" : u", x86") + u": Camera Status";
}

std::u16string StatusDetailsSettingsHeading() {
    return u"Settings:";
}

}  // namespace brelkin
