#pragma once
// Recording fakes for the trigger engine's interfaces. Input events and sleeps
// go into one ordered log so that a test states the exact interleaving.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/JoystickButtonSink.h"
#include "platform/CameraButton.h"
#include "platform/Clock.h"
#include "platform/ForegroundProgram.h"
#include "platform/KeyboardInput.h"

namespace brelkin::test {

// Time moves only when a test, a camera call or a sleep moves it.
class FakeClock final : public IClock {
public:
    uint64_t NowMicroseconds() override { return now; }
    uint64_t now = 0;
};

struct LogEntry {
    enum Kind { ExtraInfoRead, Key, Sleep } kind;
    KeyEvent event;         // Key
    uintptr_t extraInfo;    // ExtraInfoRead: the value handed out
    uint32_t milliseconds;  // Sleep
    bool refused = false;   // Key: the injection call inserted nothing
};

// Records without allocating once Reserve has been called, so that it can
// stand in a tick that must not touch the heap.
class RecordingInput final : public IKeyboardInput, public ISleeper {
public:
    RecordingInput() { log.reserve(256); }

    uintptr_t GetMessageExtraInfo() override {
        // A new value on every read: a second read, or an event that carries a
        // stale value, shows in the log.
        lastExtraInfo = 0x5A5A0000u + ++extraInfoReads;
        log.push_back({LogEntry::ExtraInfoRead, {}, lastExtraInfo, 0});
        return lastExtraInfo;
    }
    // On layout n a key's scan code is n * 1000 + its virtual key; layout 0
    // has none, so that most logs need not spell them out.
    uint16_t ScanCode(uint16_t vk) override { return layout == 0 ? 0 : static_cast<uint16_t>(layout * 1000 + vk); }
    unsigned SendKeyEvent(const KeyEvent& event) override {
        ++keyEvents;
        bool refused = false;
        for (uint32_t number : refuse) refused = refused || number == keyEvents;
        log.push_back({LogEntry::Key, event, 0, 0, refused});
        if (keyEvents == layoutChangesAfter) ++layout;
        return refused ? 0 : 1;
    }
    void Sleep(uint32_t milliseconds) override {
        log.push_back({LogEntry::Sleep, {}, 0, milliseconds});
        if (clock) clock->now += uint64_t{milliseconds} * 1000;
    }

    void Clear() {
        log.clear();
        lastExtraInfo = 0;
    }

    std::vector<LogEntry> log;
    uintptr_t lastExtraInfo = 0;
    uint32_t extraInfoReads = 0;
    uint32_t keyEvents = 0;
    std::vector<uint32_t> refuse;  // the key events, counted from 1, that the system refuses
    uint16_t layout = 0;              // the keyboard layout in front
    uint32_t layoutChangesAfter = 0;  // the key event, counted from 1, after which the next layout is in front
    FakeClock* clock = nullptr;    // moved on by each sleep when set
};

inline std::string KeyName(uint16_t vk) {
    switch (vk) {
    case 0x0D: return "Enter";
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case 0x20: return "Space";
    case 0x5B: return "LWin";
    case 0x74: return "F5";
    default: break;
    }
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "vk%02X", vk);
    return buffer;
}

// One line per log entry: "extra-info", "Alt down", "vk25 up ext scan=1037",
// "sleep 25". A key event says its extended flag and scan code unless
// `keyCodes` is false, and anything else that differs from the one record
// layout SendKeyChord may produce (time 0, the extra information just read).
inline std::vector<std::string> Describe(const std::vector<LogEntry>& log, bool keyCodes = true) {
    std::vector<std::string> lines;
    uintptr_t extraInfo = 0;
    for (const LogEntry& entry : log) {
        switch (entry.kind) {
        case LogEntry::ExtraInfoRead:
            extraInfo = entry.extraInfo;
            lines.push_back("extra-info");
            break;
        case LogEntry::Sleep:
            lines.push_back("sleep " + std::to_string(entry.milliseconds));
            break;
        case LogEntry::Key: {
            const KeyEvent& e = entry.event;
            std::string line = KeyName(e.vk);
            const uint32_t flags = e.flags & ~KeyEventExtendedKey;
            if (flags == 0) {
                line += " down";
            } else if (flags == KeyEventKeyUp) {
                line += " up";
            } else {
                line += " flags=" + std::to_string(e.flags);
            }
            if (keyCodes && (e.flags & KeyEventExtendedKey)) line += " ext";
            if (keyCodes && e.scan != 0) line += " scan=" + std::to_string(e.scan);
            if (e.time != 0) line += " time=" + std::to_string(e.time);
            if (e.extraInfo != extraInfo || extraInfo == 0) line += " extra=" + std::to_string(e.extraInfo);
            if (entry.refused) line += " refused";
            lines.push_back(line);
            break;
        }
        }
    }
    return lines;
}

// Collapses each well-formed chord (extra-info read, modifiers down in the
// fixed order, key down, 25 ms, key up, the same modifiers up in the same
// order) into one line such as "Alt+F", whatever the scan codes and extended
// flags; anything else stays as Describe gives it, so that a malformed chord
// still shows.
inline std::vector<std::string> Chords(const std::vector<LogEntry>& log) {
    static const uint16_t kModifierVk[] = {0x10, 0x11, 0x12, 0x5B};
    static const char* const kModifierText[] = {"Shift+", "Ctrl+", "Alt+", "Win+"};
    std::vector<std::string> out;
    const std::vector<std::string> raw = Describe(log, false);
    std::size_t i = 0;
    auto isKey = [&](std::size_t at, uint16_t vk, const char* suffix) {
        return at < log.size() && log[at].kind == LogEntry::Key && log[at].event.vk == vk &&
               raw[at] == KeyName(vk) + suffix;
    };
    while (i < log.size()) {
        if (log[i].kind == LogEntry::ExtraInfoRead) {
            std::size_t at = i + 1;
            std::vector<uint16_t> mods;
            std::string text;
            for (int m = 0; m < 4; ++m) {
                if (isKey(at, kModifierVk[m], " down")) {
                    mods.push_back(kModifierVk[m]);
                    text += kModifierText[m];
                    ++at;
                }
            }
            bool ok = at < log.size() && log[at].kind == LogEntry::Key && raw[at] == KeyName(log[at].event.vk) + " down";
            const uint16_t key = ok ? log[at].event.vk : 0;
            ok = ok && at + 2 < log.size() && raw[at + 1] == "sleep 25" && isKey(at + 2, key, " up");
            if (ok) {
                at += 3;
                for (uint16_t vk : mods) {
                    if (!isKey(at, vk, " up")) {
                        ok = false;
                        break;
                    }
                    ++at;
                }
            }
            if (ok) {
                out.push_back(text + KeyName(key));
                i = at;
                continue;
            }
        }
        out.push_back(raw[i]);
        ++i;
    }
    return out;
}

class FakeCamera final : public ICameraButton {
public:
    int32_t IsInterfaceValid() override {
        ++validCalls;
        if (clock) clock->now += validCostMicroseconds;
        return valid;
    }
    int32_t GetPIO(uint32_t* pioValue) override {
        ++pioCalls;
        *pioValue = pio;
        return pioResult;
    }
    int32_t IsButtonPressed() override {
        ++pressedCalls;
        if (clock) clock->now += pressedCostMicroseconds;
        return pressed;
    }

    int32_t valid = 1;
    int32_t pioResult = 0;
    uint32_t pio = 0;
    int32_t pressed = 1;
    int validCalls = 0;
    int pioCalls = 0;
    int pressedCalls = 0;
    FakeClock* clock = nullptr;  // a slow library: each IsButtonPressed moves it on
    uint64_t pressedCostMicroseconds = 0;
    uint64_t validCostMicroseconds = 0;
};

class FakeJoystick final : public IJoystickButtonSink {
public:
    FakeJoystick() { writes.reserve(64); }
    void SendJoystickButton(bool pressed) override { writes.push_back(pressed ? 1 : 0); }
    void ReleaseIfHeld() override { ++releaseIfHeldCalls; }
    std::vector<int> writes;
    int releaseIfHeldCalls = 0;
};

// The program in front as a test sets it; an empty path is one that cannot be
// read. `next` holds the paths of the queries to come, in order, the last of
// them kept once it is reached; `nextWindows` the same for the window and its
// title.
class FakeForeground final : public IForegroundProgram {
public:
    struct Window {
        std::uintptr_t handle;
        std::u16string title;
    };
    std::u16string path;
    std::vector<std::u16string> next;
    Window window{1, u""};
    std::vector<Window> nextWindows;
    int queries = 0;
    int windowQueries = 0;
    std::size_t ForegroundImagePath(char16_t* buffer, std::size_t capacity) override {
        ++queries;
        return Take(next, path, buffer, capacity);
    }
    std::uintptr_t ForegroundWindow(char16_t* title, std::size_t capacity, std::size_t& titleLength) override {
        ++windowQueries;
        if (!nextWindows.empty()) {
            window = nextWindows.front();
            if (nextWindows.size() > 1) nextWindows.erase(nextWindows.begin());
        }
        titleLength = std::min(window.title.size(), capacity);
        window.title.copy(title, titleLength);
        return window.handle;
    }

private:
    static std::size_t Take(std::vector<std::u16string>& queue, std::u16string& now, char16_t* buffer,
                            std::size_t capacity) {
        if (!queue.empty()) {
            now = queue.front();
            if (queue.size() > 1) queue.erase(queue.begin());
        }
        if (now.size() > capacity) return 0;
        now.copy(buffer, now.size());
        return now.size();
    }
};

}  // namespace brelkin::test
