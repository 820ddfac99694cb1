#pragma once
// The camera host's client over a recording fake of the process, for the
// tests of which host starts, what is taken from it, and what its faults lead to.
#include "device/CameraHostSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordingDeviceFakes.h"
#include "tests/support/RecordingSupport.h"

namespace brelkin::test {

class FakeHostProcess final : public ICameraHostProcess {
public:
    unsigned programBits = 64;
    bool canRun64 = true;
    FoundLibrary found{u"C:\\Brelkin\\BDADLL.dll", 32};
    HostStartStatus startStatus = HostStartStatus::Started;
    std::vector<unsigned> starts;
    std::vector<hostwire::Kind> sent;
    uint32_t lastOpen = 0;  // the number of the last Open sent
    CameraClass lastOpenClass = CameraClass::Wdm;
    bool hello = true;      // a started host greets with this version's Hello
    bool refuseLate = false;  // the process cannot be created after Start returned
    uint32_t jobRefusal = 0;
    int kills = 0;
    int finishes = 0;
    int foregroundAllowed = 0;
    std::vector<uint8_t> pending;
    bool ended = false;
    HostEnd end;
    HostWatch watch;
    uint64_t now = 1000000;

    unsigned ProgramBits() const override { return programBits; }
    bool CanRun(unsigned bits) const override { return bits != 64 || canRun64; }
    FoundLibrary FindLibrary(CameraClass) override { return found; }
    void NotifyWindow(uintptr_t) override {}
    HostStart Start(unsigned bits) override {
        starts.push_back(bits);
        HostStart s;
        s.status = startStatus;
        s.path = bits == 32 ? u"C:\\Brelkin\\BrelkinCameraHost32.exe" : u"C:\\Brelkin\\BrelkinCameraHost64.exe";
        s.errorCode = 1260;
        s.errorText = u"blocked by policy";
        ended = false;
        watch = {};
        pending.clear();
        if (startStatus == HostStartStatus::Started && refuseLate) {
            ended = true;
            end = HostEnd{};
            end.start = s;
            end.start.status = HostStartStatus::Refused;
        } else if (startStatus == HostStartStatus::Started && hello) {
            Report(hostwire::EncodeHello());
        }
        return s;
    }
    bool Send(const std::vector<uint8_t>& bytes) override {
        const auto kind = static_cast<hostwire::Kind>(bytes[4] | (bytes[5] << 8));
        sent.push_back(kind);
        if (kind == hostwire::Kind::Open) {
            auto m = hostwire::DecodePayload(kind, bytes.data() + hostwire::HeaderSize,
                                             bytes.size() - hostwire::HeaderSize, true);
            EXPECT_TRUE(m.has_value());
            if (m) {
                lastOpen = m->openNumber;
                lastOpenClass = m->cameraClass;
            }
        }
        return true;
    }
    size_t Receive(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min(capacity, pending.size());
        std::copy(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n), buffer);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    HostWatch Watch() override { return watch; }
    bool Ended(HostEnd& e) override {
        if (!ended) return false;
        e = end;
        ended = false;
        return true;
    }
    void Kill() override { ++kills; }
    void Finish(uint32_t) override { ++finishes; }
    uint64_t NowMs() override { return now; }
    uint32_t JobRefusal() override { return jobRefusal; }
    void AllowForeground() override { ++foregroundAllowed; }

    void Report(const std::vector<uint8_t>& bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); }
    // The host's answer to the open with `number` (the last one by default).
    void Answer(hostwire::OpenOutcome outcome, uint32_t number = 0, LibraryLoadReport report = {}) {
        if (number == 0) number = lastOpen;
        if (report.library.empty()) {
            report.attempted = true;
            report.library = lastOpenClass == CameraClass::Bda ? u"BDADLL.dll" : u"emDLL.dll";
            report.path = u"C:\\Brelkin\\" + report.library;
        }
        Report(hostwire::EncodeLoadReport(lastOpenClass, report, number));
        Report(hostwire::EncodeOpened(lastOpenClass, outcome, number));
    }
    void Reading(ButtonReading reading, uint32_t period = 50) {
        uint8_t bytes[hostwire::ReadingSize];
        hostwire::EncodeReading(reading, period, bytes);
        pending.insert(pending.end(), bytes, bytes + sizeof bytes);
    }
    void Crash(uint32_t call) {
        ended = true;
        end = HostEnd{};
        end.exitCode = hostwire::HostExitCrashed;
        end.crashRecorded = true;
        end.exceptionCode = 0xC0000005;
        end.call = call;
        end.module = u"BDADLL.dll";
        end.offset = 0x16F6;
    }
};

class RecordingAnswer final : public IReadingAnswer {
public:
    std::vector<std::string> calls;
    void Answer(ButtonReading reading, uint32_t period) override {
        calls.push_back("reading " + std::to_string(static_cast<int>(reading)) + " at " + std::to_string(period));
    }
    void CameraGone() override { calls.push_back("gone"); }
};
inline LibraryLoadReport Loaded() {
    LibraryLoadReport r;
    r.attempted = true;
    r.library = u"BDADLL.dll";
    r.path = u"C:\\Brelkin\\BDADLL.dll";
    return r;
}

struct HostFixture : ::testing::Test {
    CallLog calls;
    FakeHostProcess process;
    FakeOsVersion osVersion;
    FakeDeviceNotification notification{calls};
    SequenceStep step = 2;
    RecordingSupportLog log;
    RecordingNotifier notifier;
    RecordingAnswer answer;
    CameraHostSource source{process, osVersion, notification, step};

    HostFixture() {
        source.AttachSupport(log, notifier);
        source.AttachAnswer(answer);
        source.Kind() = DriverBda;
    }
    // The host opened the BDA camera and it answered.
    void OpenAnswered(CameraOpenCause cause = CameraOpenCause::StartUp) {
        source.OpenCamera(DriverBda, cause);
        process.Answer(hostwire::OpenOutcome::Answered);
        source.Pump();
    }

    // A source of its own over a process that a table row set up, the BDA
    // camera's open sent at start-up.
    struct RowSource {
        RecordingSupportLog l;
        RecordingNotifier n;
        RecordingAnswer a;
        CameraHostSource s;
        RowSource(FakeHostProcess& p, HostFixture& f) : s(p, f.osVersion, f.notification, f.step) {
            s.AttachSupport(l, n);
            s.AttachAnswer(a);
            s.Kind() = DriverBda;
            s.OpenCamera(DriverBda, CameraOpenCause::StartUp);
        }
    };
};

}  // namespace brelkin::test
