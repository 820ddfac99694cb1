// The main frame's poll and its Camera Status window: each tick or report of
// the camera host answered, the last press recorded, and the window's values.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/KeyChordNames.h"
#include "engine/ModeNames.h"
#include "engine/RemoteSessionClients.h"
#include "engine/Utf8.h"
#include "framework/WinApp.h"
#include "settings/SettingsReport.h"
#include "shell/FrameTexts.h"
#include "shell/MainFrame.h"

namespace brelkin {

// The camera host has sent readings: they are answered now, not on the
// next tick of timer 1.
LRESULT CMainFrame::OnCameraReport(WPARAM, LPARAM) {
    PollCamera();
    return 0;
}

void CMainFrame::PollCamera() {
    // A report that came after the end of the session.
    if (m_tornDown) return;
    {
        ICameraStatusWindow& status = m_services.dialogs->CameraStatus();
        const bool open = status.IsOpen();
        // A press tried in the Camera Status window goes nowhere and moves
        // nothing on (the devices answer it on a copy of the trigger state).
        const bool trial = open && status.IsActive();
        if (trial != m_trial) {
            m_devices->SetTrial(trial);
            m_trial = trial;
        }
        const PollOutcome outcome = m_devices->PollButton(m_trigger);
        if (outcome.unanswered) ++m_unanswered;
        if (outcome.pressed) {
            ++(outcome.gesture == Gesture::LongPress     ? m_presses.longPresses
               : outcome.gesture == Gesture::DoublePress ? m_presses.doublePresses
                                                         : m_presses.presses);
            std::u16string_view refused;
            const bool wasRefused = m_pressRows.TakeRefusedProgram(refused);
            RecordPress(outcome, trial, wasRefused, refused);
            if (!trial) {
                m_chordsSent += static_cast<unsigned long>(outcome.chordsSent);
                if (outcome.chordsSent > 0 && m_keyTarget) m_keyTarget->CheckKeyTarget();
                if (wasRefused) NotifyUnlistedProgram(refused);
            }
        }
        // Setting the same id again replaces the timer's period.
        const UINT period = outcome.nextPeriod;
        if (period != 0 && period != m_pollPeriod && SetTimer(PollTimerId, m_devices->TimerPeriod(period)) != 0) {
            m_log.Write(PollPeriodLine(period, period > m_pollPeriod));
            m_pollPeriod = period;
        }
        if (open) RefreshStatus();
    }
}

void CMainFrame::RecordPress(const PollOutcome& outcome, bool trial, bool refused,
                             std::u16string_view refusedProgram) {
    LastPress& last = m_lastPress;
    ::GetLocalTime(&last.time);
    last.mode = GestureMode(m_trigger, outcome.gesture);
    last.gesture = outcome.gesture == Gesture::None ? Gesture::Press : outcome.gesture;
    last.ruleProgram.clear();
    last.chords = PressChords{};
    last.refusedProgram.clear();
    last.notSent = trial ? PressNotSent::StatusInFront : PressNotSent::None;
    if (m_trigger.triggerMode == 0) {
        if (!trial) last.notSent = PressNotSent::JoystickMode;
    } else if (outcome.unanswered) {
        last.notSent = PressNotSent::WhileChordsWentOut;
    } else if (refused) {
        last.notSent = PressNotSent::OnlyListedPrograms;
        last.refusedProgram.assign(refusedProgram);
    } else if (outcome.chordsSent > 0) {
        last.chords = m_devices->LastPressChords();
        last.droppedBefore = m_devices->DroppedPresses();
        if (!trial) {
            last.mode = m_pressRows.LastMode();
            last.ruleProgram.assign(m_pressRows.LastRuleProgram());
        }
    }
}

void CMainFrame::RefreshStatus() {
    ICameraStatusWindow& window = m_services.dialogs->CameraStatus();
    if (!window.IsOpen()) return;
    CameraStatusView view;
    view.camera = m_devices->CameraStatusNow();
    if (!view.camera.library.path.empty()) view.libraryVersion = m_devices->LibraryVersion(view.camera.library.path);
    view.driver = m_devices->Kind();
    // One clock for the restart's time and now: the awake one.
    view.nowMs = view.camera.nowMs;
    view.lastFaultTime = view.camera.lastFaultTime;
    view.period = m_pollPeriod;
    view.configuredPeriod = m_basePollPeriod;
    view.joystick = m_devices->JoystickOutputStatus();
    PressRecord& press = view.press;
    const LastPress& last = m_lastPress;
    press.count = m_presses.presses + m_presses.longPresses + m_presses.doublePresses;
    press.gesture = last.gesture;
    press.time = {last.time.wHour, last.time.wMinute, last.time.wSecond};
    if (last.mode == 0)
        press.mode = MenuModeName(JoystickModeName);
    else if (last.mode >= 1 && last.mode <= PresetRowCount)
        press.mode = MenuModeName(ModeName(m_trigger.presets[static_cast<std::size_t>(last.mode - 1)]));
    press.ruleProgram = last.ruleProgram;
    press.remoteClient =
        RemoteSessionClient(std::u16string_view(last.chords.program.path, last.chords.program.length));
    for (int i = 0; i < last.chords.count && i < 3; ++i) {
        if (i > 0) press.chords += u", ";
        press.chords += FormatKeyChord(last.chords.chords[i].key, last.chords.chords[i].modifiers);
    }
    press.notSent = last.notSent;
    // Only one row goes out at a time: a row dropped since this press was
    // handed over is this press's.
    if (last.notSent == PressNotSent::None && last.chords.count > 0 &&
        m_devices->DroppedPresses() > last.droppedBefore)
        press.notSent = PressNotSent::OtherProgramInFront;
    press.refusedProgram = last.refusedProgram;
    const CameraStatusValues values = DescribeCameraStatus(view);
    window.Show(std::vector<std::u16string>(values.begin(), values.end()),
                view.camera.reading == ButtonReading::Down);
}

namespace {

// The settings lines as the support log's start records them.
class LinesLog final : public ISupportLog {
public:
    void Write(std::string_view event) override { text += FromUtf8(event) + u"\r\n"; }
    std::u16string text;
};

}  // namespace

std::u16string CMainFrame::StatusDetails(std::u16string_view lines) {
    LinesLog settings;
    PolicyDamageLog everyDamagedValue;  // the details name each, also those logged before
    LogSettingsRead(CWinApp::Get()->Profile(), m_trigger, m_devices->Kind(), m_basePollPeriod, settings,
                    everyDamagedValue);
    return StatusDetailsTitle(FromUtf8(BRELKIN_VERSION), sizeof(void*) == 8) + u"\r\n" + std::u16string(lines) +
           StatusDetailsSettingsHeading() + u"\r\n" + settings.text;
}

void CMainFrame::OnCameraStatus() {
    m_services.dialogs->CameraStatus().Open(reinterpret_cast<uintptr_t>(m_hWnd),
                                            [this](std::u16string_view lines) { return StatusDetails(lines); });
    RefreshStatus();
}

}  // namespace brelkin
