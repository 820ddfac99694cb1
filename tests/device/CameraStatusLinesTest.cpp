// The Camera Status window's lines from the frame's state: each host state,
// each camera state, each reason a press sent nothing, and the library found
// or not.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "device/CameraStatusLines.h"
#include "device/CameraNotices.h"
#include "engine/Utf8.h"

namespace brelkin {
namespace {

CameraStatusView Answering() {
    CameraStatusView view;
    view.camera.library.library = u"BDADLL.dll";
    view.camera.library.path = u"C:\\Brelkin\\BDADLL.dll";
    view.camera.library.libraryBits = 32;
    view.camera.host = HostState::Running;
    view.camera.hostBits = 32;
    view.camera.camera = CameraState::Answering;
    view.camera.reading = ButtonReading::Up;
    view.libraryVersion = u"2.1.0.7";
    view.driver = DriverBda;
    view.period = view.configuredPeriod = 50;
    view.joystick.backEnd = JoystickBackEnd::VJoy;
    return view;
}

PressRecord ThirdPress(PressNotSent notSent, std::u16string chords = u"Alt+F") {
    PressRecord press;
    press.count = 3;
    press.time = {14, 2, 7};
    press.mode = u"Schick (Alt+F,Alt+T)";
    press.chords = std::move(chords);
    press.notSent = notSent;
    return press;
}

TEST(CameraStatusLines, EachStateGivesItsLine) {
    struct Row {
        const char* label;
        std::function<void(CameraStatusView&)> change;
        CameraStatusLine line;
        std::u16string expected;
    };
    const Row rows[] = {
        {"library found", [](CameraStatusView&) {}, StatusLibrary,
         u"C:\\Brelkin\\BDADLL.dll (32-bit, version 2.1.0.7)"},
        {"library without version resource", [](CameraStatusView& v) { v.libraryVersion.clear(); }, StatusLibrary,
         u"C:\\Brelkin\\BDADLL.dll (32-bit, no version resource)"},
        {"library missing, with the folders looked in",
         [](CameraStatusView& v) {
             v.camera.library.status = LibraryLoadStatus::Missing;
             v.camera.library.path.clear();
             v.camera.library.programFolder = u"C:\\Brelkin";
             v.camera.library.systemFolder = u"C:\\Windows\\SysWOW64";
         },
         StatusLibrary, u"BDADLL.dll not found; looked in C:\\Brelkin and C:\\Windows\\SysWOW64"},
        {"driver", [](CameraStatusView& v) { v.driver = DriverWdm; }, StatusDriver, u"WDM"},
        {"host running", [](CameraStatusView&) {}, StatusHost, u"running (32-bit)"},
        {"host not started", [](CameraStatusView& v) { v.camera.host = HostState::NotStarted; }, StatusHost,
         u"not started"},
        {"host restarting, seconds rounded up",
         [](CameraStatusView& v) {
             v.camera.host = HostState::Restarting;
             v.camera.restartAtMs = 10000;
             v.nowMs = 6500;
         },
         StatusHost, u"restarting in 4 s"},
        {"host stopped", [](CameraStatusView& v) { v.camera.host = HostState::Stopped; }, StatusHost,
         u"stopped after repeated faults; next step: Rescan Camera"},
        {"host cannot start",
         [](CameraStatusView& v) {
             v.camera.host = HostState::CannotStart;
             v.camera.cannotStart = Text(IDS_HOST_MISSING, {u"BrelkinCameraHost32.exe"});
         },
         StatusHost,
         u"cannot start: BrelkinCameraHost32.exe is missing, and Brelkin cannot read the camera without it. Reinstall "
         u"Brelkin."},
        {"host of another version", [](CameraStatusView& v) { v.camera.host = HostState::VersionMismatch; },
         StatusHost, u"does not match this Brelkin; next step: reinstall Brelkin"},
        {"a window of the library's waits", [](CameraStatusView& v) { v.camera.host = HostState::WaitingForUser; },
         StatusHost, u"waiting for the user: the camera library shows a window"},
        {"camera answering", [](CameraStatusView&) {}, StatusCamera, u"answering"},
        {"camera not valid", [](CameraStatusView& v) { v.camera.camera = CameraState::NotValid; }, StatusCamera,
         u"interface not valid"},
        {"camera port busy", [](CameraStatusView& v) { v.camera.camera = CameraState::PortBusy; }, StatusCamera,
         u"port busy"},
        {"no camera object", [](CameraStatusView& v) { v.camera.camera = CameraState::NoCameraObject; },
         StatusCamera, u"no camera object"},
        {"button up", [](CameraStatusView&) {}, StatusButton, u"Up"},
        {"button down", [](CameraStatusView& v) { v.camera.reading = ButtonReading::Down; }, StatusButton, u"Down"},
        {"period as configured", [](CameraStatusView&) {}, StatusPollPeriod, u"50 ms"},
        {"period raised by the back-off", [](CameraStatusView& v) { v.period = 200; }, StatusPollPeriod,
         u"200 ms (configured 50 ms; raised while the camera's calls are slow)"},
        {"no press yet", [](CameraStatusView&) {}, StatusPresses, u"none yet"},
        {"press sent", [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::None); }, StatusPresses,
         u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), Alt+F"},
        {"press by a program rule",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::None, u"Space");
             v.press.mode = u"DEXIS (Space,T)";
             v.press.ruleProgram = u"dexis.exe";
         },
         StatusPresses, u"3; the last at 14:02:07: DEXIS (Space,T) (the rule for dexis.exe), Space"},
        {"press to a remote session",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::None);
             v.press.remoteClient = u"mstsc.exe";
         },
         StatusPresses, u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), Alt+F to mstsc.exe (a remote session)"},
        {"press by a title rule",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::None, u"F5");
             v.press.mode = u"Kodak (F5)";
             v.press.ruleProgram = u"chrome.exe|*Imaging*";
         },
         StatusPresses, u"3; the last at 14:02:07: Kodak (F5) by the rule chrome.exe|*Imaging*, F5"},
        {"press tried in the window", [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::StatusInFront); },
         StatusPresses, u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), Alt+F (not sent: Camera Status is in front)"},
        {"long press tried in the window",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::StatusInFront, u"F5");
             v.press.mode = u"Kodak (F5)";
             v.press.gesture = Gesture::LongPress;
         },
         StatusPresses, u"3; the last at 14:02:07: long press: Kodak (F5), F5 (not sent: Camera Status is in front)"},
        {"another program came to the front",
         [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::OtherProgramInFront); }, StatusPresses,
         u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), Alt+F (not all sent: another program came to the front)"},
        {"only listed programs",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::OnlyListedPrograms, u"");
             v.press.refusedProgram = u"chart.exe";
         },
         StatusPresses,
         u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), nothing sent: only listed programs get keys, and chart.exe "
         u"is not listed"},
        {"while chords went out",
         [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::WhileChordsWentOut, u""); }, StatusPresses,
         u"3; the last at 14:02:07: Schick (Alt+F,Alt+T), nothing sent: the chords of the press before were still "
         u"going out"},
        {"joystick mode",
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::JoystickMode, u"");
             v.press.mode = u"Joystick Button 1";
         },
         StatusPresses, u"3; the last at 14:02:07: Joystick Button 1, no chords in joystick mode"},
        {"joystick vJoy", [](CameraStatusView&) {}, StatusJoystick, u"vJoy device 1"},
        {"joystick none",
         [](CameraStatusView& v) {
             v.joystick = {JoystickBackEnd::None, JoystickRefusal::VJoyDeviceBusy};
         },
         StatusJoystick, u"not available: vJoy device 1 is in use by another program: close it and restart Brelkin"},
        {"no fault", [](CameraStatusView&) {}, StatusLastFault, u"None"},
        {"last fault with its time",
         [](CameraStatusView& v) {
             v.camera.lastFault = "Camera library hung in IsButtonPressed";
             v.lastFaultTime = {9, 5, 0};
         },
         StatusLastFault, u"09:05:00 Camera library hung in IsButtonPressed"},
    };
    for (const Row& row : rows) {
        CameraStatusView view = Answering();
        row.change(view);
        const CameraStatusValues values = DescribeCameraStatus(view, Language::English);
        EXPECT_EQ(values[row.line], row.expected)
            << row.label << ": " << ToUtf8(values[row.line]);
    }
}

// The window speaks Brelkin's language: the words, the order the language puts
// the facts in, and a fault's balloon rather than its English log line.
TEST(CameraStatusLines, InTheLanguageShown) {
    struct Row {
        const char* label;
        Language language;
        std::function<void(CameraStatusView&)> change;
        CameraStatusLine line;
        std::u16string expected;
    };
    const Row rows[] = {
        {"German press tried in the window", Language::German,
         [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::StatusInFront); }, StatusPresses,
         u"3; der letzte um 14:02:07: Schick (Alt+F,Alt+T), Alt+F (nicht gesendet: das Fenster „Kamerastatus“ ist im Vordergrund)"},
        {"Japanese program in front unnamed", Language::Japanese,
         [](CameraStatusView& v) { v.press = ThirdPress(PressNotSent::OnlyListedPrograms, u""); }, StatusPresses,
         u"3 回。最後は 14:02:07: Schick (Alt+F,Alt+T)、送信なし: キーは一覧のプログラムにのみ送られますが、"
         u"前面のプログラムは一覧にありません"},
        {"Japanese program in front named", Language::Japanese,
         [](CameraStatusView& v) {
             v.press = ThirdPress(PressNotSent::OnlyListedPrograms, u"");
             v.press.refusedProgram = u"chart.exe";
         },
         StatusPresses,
         u"3 回。最後は 14:02:07: Schick (Alt+F,Alt+T)、送信なし: キーは一覧のプログラムにのみ送られますが、"
         u"「chart.exe」は一覧にありません"},
        {"French library without its function", Language::French,
         [](CameraStatusView& v) {
             v.camera.library.status = LibraryLoadStatus::MemberMissing;
             v.camera.library.member = "GetPIO";
         },
         StatusLibrary, u"C:\\Brelkin\\BDADLL.dll (32 bits, version 2.1.0.7) : GetPIO manque"},
        {"German fault shows its balloon", Language::German,
         [](CameraStatusView& v) {
             v.camera.lastFault = "Camera host: protocol version 1";
             v.camera.lastFaultText = HostVersionText(u"C:\\Program Files\\Brelkin\\BrelkinCameraHost32.exe");
             v.lastFaultTime = {9, 5, 0};
         },
         StatusLastFault, u"09:05:00 BrelkinCameraHost32.exe passt nicht zu diesem Brelkin; installieren Sie Brelkin neu"},
    };
    for (const Row& row : rows) {
        CameraStatusView view = Answering();
        row.change(view);
        const CameraStatusValues values = DescribeCameraStatus(view, row.language);
        EXPECT_EQ(values[row.line], row.expected) << row.label << ": " << ToUtf8(values[row.line]);
    }
}

}  // namespace
}  // namespace brelkin
