#include "device/CameraStatusLines.h"

#include <cstdio>

#include "device/CameraNotices.h"
#include "engine/ProgramRules.h"
#include "engine/Texts.h"
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

// The window's words in one language: each value is a text of
// resources/lang with the facts put in.
class Lines {
public:
    explicit Lines(Language language) : m_language(language) {}

    std::u16string Say(unsigned id, std::vector<TextArg> args = {}) const {
        return Text(id, std::move(args)).In(m_language);
    }

    std::u16string Bits(unsigned bits) const {
        return Say(bits == 32 ? IDS_BITS_32 : bits == 64 ? IDS_BITS_64 : IDS_STATUS_BITS_UNKNOWN);
    }

    std::u16string Library(const CameraStatusView& view) const {
        const LibraryLoadReport& r = view.camera.library;
        if (r.status == LibraryLoadStatus::Missing || r.path.empty()) {
            if (r.programFolder.empty() && r.systemFolder.empty())
                return Say(IDS_STATUS_LIBRARY_NOT_FOUND, {r.library});
            return Say(IDS_STATUS_LIBRARY_NOT_FOUND_IN, {r.library, r.programFolder, r.systemFolder});
        }
        const std::u16string version = view.libraryVersion.empty() ? Say(IDS_STATUS_NO_VERSION)
                                                                   : Say(IDS_STATUS_VERSION, {view.libraryVersion});
        const std::u16string line = Say(IDS_STATUS_LIBRARY, {r.path, Bits(r.libraryBits), version});
        switch (r.status) {
        case LibraryLoadStatus::Loaded:
        case LibraryLoadStatus::Missing: return line;
        case LibraryLoadStatus::WrongBitness:
            return Say(IDS_STATUS_LIBRARY_WRONG_BITNESS, {line, Bits(r.programBits)});
        case LibraryLoadStatus::LoadFailed:
            return r.errorText.empty() ? Say(IDS_STATUS_LIBRARY_NOT_LOADED, {line})
                                       : Say(IDS_STATUS_LIBRARY_NOT_LOADED_WHY, {line, r.errorText});
        case LibraryLoadStatus::NotCameraLibrary: return Say(IDS_STATUS_LIBRARY_NOT_CAMERA, {line});
        case LibraryLoadStatus::MemberMissing: return Say(IDS_STATUS_LIBRARY_LACKS, {line, U16(r.member)});
        }
        return line;
    }

    std::u16string Host(const CameraStatusView& view) const {
        const CameraStatus& s = view.camera;
        switch (s.host) {
        case HostState::NotStarted: return Say(IDS_STATUS_HOST_NOT_STARTED);
        case HostState::Running: return Say(IDS_STATUS_HOST_RUNNING, {Bits(s.hostBits)});
        case HostState::Restarting: {
            const uint64_t left = s.restartAtMs > view.nowMs ? s.restartAtMs - view.nowMs : 0;
            return Say(IDS_STATUS_HOST_RESTARTING, {Number((left + 999) / 1000)});
        }
        case HostState::Stopped: return Say(IDS_STATUS_HOST_STOPPED);
        case HostState::CannotStart: return Say(IDS_STATUS_HOST_CANNOT_START, {s.cannotStart.In(m_language)});
        case HostState::VersionMismatch: return Say(IDS_STATUS_HOST_VERSION_MISMATCH);
        case HostState::WaitingForUser: return Say(IDS_STATUS_HOST_WAITING_FOR_USER);
        }
        return u"";
    }

    std::u16string Camera(CameraState state) const {
        switch (state) {
        case CameraState::NoCameraObject: return Say(IDS_STATUS_CAMERA_NO_OBJECT);
        case CameraState::Answering: return Say(IDS_STATUS_CAMERA_ANSWERING);
        case CameraState::NotValid: return Say(IDS_STATUS_CAMERA_NOT_VALID);
        case CameraState::PortBusy: return Say(IDS_STATUS_CAMERA_PORT_BUSY);
        }
        return u"";
    }

    std::u16string Period(const CameraStatusView& view) const {
        if (view.configuredPeriod != 0 && view.period > view.configuredPeriod)
            return Say(IDS_STATUS_PERIOD_RAISED, {Number(view.period), Number(view.configuredPeriod)});
        return Number(view.period) + u" ms";
    }

    std::u16string Presses(const PressRecord& p) const {
        if (p.count == 0) return Say(IDS_STATUS_NO_PRESSES);
        std::u16string what = p.mode;
        if (!p.mode.empty() && !p.ruleProgram.empty())
            what = Say(SplitRuleName(p.ruleProgram).titled ? IDS_STATUS_TITLE_RULE_MODE : IDS_STATUS_RULE_MODE,
                       {p.mode, p.ruleProgram});
        if (p.gesture == Gesture::LongPress) what = Say(IDS_STATUS_LONG_PRESS, {what});
        if (p.gesture == Gesture::DoublePress) what = Say(IDS_STATUS_DOUBLE_PRESS, {what});
        const std::u16string sent =
            p.chords.empty()          ? what
            : p.remoteClient.empty() ? Say(IDS_STATUS_SENT, {what, p.chords})
                                      : Say(IDS_STATUS_SENT_TO,
                                            {what, p.chords, Say(IDS_STATUS_REMOTE_SESSION, {p.remoteClient})});
        switch (p.notSent) {
        case PressNotSent::None: what = sent; break;
        case PressNotSent::StatusInFront: what = Say(IDS_STATUS_TRIED, {sent}); break;
        case PressNotSent::OtherProgramInFront: what = Say(IDS_STATUS_NOT_ALL_SENT, {sent}); break;
        case PressNotSent::OnlyListedPrograms:
            what = Say(IDS_STATUS_ONLY_LISTED,
                       {what, p.refusedProgram.empty() ? TextArg::Translated(IDS_UNNAMED_PROGRAM_IN_FRONT)
                                                       : TextArg::FileName(p.refusedProgram)});
            break;
        case PressNotSent::WhileChordsWentOut: what = Say(IDS_STATUS_STILL_SENDING, {what}); break;
        case PressNotSent::JoystickMode: what = Say(IDS_STATUS_JOYSTICK_MODE, {what}); break;
        }
        return Say(IDS_STATUS_PRESSES, {Number(p.count), Time(p.time), what});
    }

    std::u16string Joystick(JoystickStatus joystick) const {
        switch (joystick.backEnd) {
        case JoystickBackEnd::PPJoy: return u"PPJoy";
        case JoystickBackEnd::VJoy: return Say(IDS_STATUS_VJOY);
        case JoystickBackEnd::None: break;
        }
        return Say(IDS_STATUS_JOYSTICK_NOT_AVAILABLE, {TextArg::Translated(JoystickRefusalTextId(joystick.refusal))});
    }

    // A fault that has a balloon shows its words; one that only the support
    // log names shows that line.
    std::u16string LastFault(const CameraStatusView& view) const {
        const CameraStatus& s = view.camera;
        if (s.lastFault.empty()) return Say(IDS_STATUS_NO_FAULT);
        return Time(view.lastFaultTime) + u" " +
               (s.lastFaultText.Empty() ? U16(s.lastFault) : s.lastFaultText.In(m_language));
    }

private:
    Language m_language;
};

}  // namespace

CameraStatusValues DescribeCameraStatus(const CameraStatusView& view, Language language) {
    const Lines lines(language);
    CameraStatusValues values;
    values[StatusLibrary] = lines.Library(view);
    values[StatusDriver] = U16(DriverKindName(view.driver));
    values[StatusHost] = lines.Host(view);
    values[StatusCamera] = lines.Camera(view.camera.camera);
    values[StatusButton] = lines.Say(view.camera.reading == ButtonReading::Down ? IDS_STATUS_BUTTON_DOWN
                                                                                 : IDS_STATUS_BUTTON_UP);
    values[StatusPollPeriod] = lines.Period(view);
    values[StatusPresses] = lines.Presses(view.press);
    values[StatusJoystick] = lines.Joystick(view.joystick);
    values[StatusLastFault] = lines.LastFault(view);
    return values;
}

std::u16string StatusDetailsTitle(std::u16string_view version, bool x64, Language language) {
    return Text(IDS_STATUS_DETAILS_TITLE, {std::u16string(version), x64 ? u"x64" : u"x86"}).In(language);
}

std::u16string StatusDetailsSettingsHeading(Language language) {
    return Text(IDS_STATUS_DETAILS_SETTINGS).In(language);
}

}  // namespace brelkin
