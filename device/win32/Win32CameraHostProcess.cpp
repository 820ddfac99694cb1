#include "device/win32/Win32CameraHostProcess.h"

#include <algorithm>
#include <cstdio>

#include "device/win32/VendorCameraLibrary.h"
#include "device/win32/Win32HostLauncher.h"
#include "device/win32/Win32HostReports.h"

namespace brelkin {

namespace {

bool OnWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The system folders a host of each bitness reads, 32-bit first: the camera
// libraries that exist are 32-bit.
std::vector<std::wstring> SystemFolders() {
    std::vector<std::wstring> folders;
    wchar_t path[MAX_PATH];
    UINT n = GetSystemWow64DirectoryW(path, MAX_PATH);
    const bool wow = n != 0 && n < MAX_PATH;
    if (wow && sizeof(void*) == 8) folders.emplace_back(path, n);  // SysWOW64 seen from x64
    n = GetSystemDirectoryW(path, MAX_PATH);
    if (n != 0 && n < MAX_PATH) {
        const std::wstring system(path, n);
        folders.push_back(system);  // System32; redirected to SysWOW64 for an x86 Brelkin
        if (sizeof(void*) == 4 && OnWow64()) {
            // The 64-bit System32 as an x86 program reaches it.
            folders.push_back(system.substr(0, system.find_last_of(L'\\')) + L"\\Sysnative");
        }
    }
    return folders;
}

}  // namespace

Win32CameraHostProcess::Win32CameraHostProcess() : m_folder(ProgramFolder()) {}

Win32CameraHostProcess::~Win32CameraHostProcess() {
    Kill();
    // At exit a host told to quit gets a moment to close the camera; ending
    // Brelkin ends it anyway, through its job and its pipe.
    const ULONGLONG until = GetTickCount64() + 1000;
    for (HANDLE ender : m_enders) {
        const ULONGLONG now = GetTickCount64();
        WaitForSingleObject(ender, now < until ? static_cast<DWORD>(until - now) : 0);
        CloseHandle(ender);
    }
}

void Win32CameraHostProcess::NotifyWindow(uintptr_t window) {
    m_window = reinterpret_cast<HWND>(window);
    if (!m_pipe) return;
    EnterCriticalSection(&m_pipe->lock);
    m_pipe->window = m_window;
    LeaveCriticalSection(&m_pipe->lock);
}

bool Win32CameraHostProcess::CanRun(unsigned bits) const {
    return bits != 64 || sizeof(void*) == 8 || OnWow64();
}

FoundLibrary Win32CameraHostProcess::FindLibrary(CameraClass cameraClass) {
    const wchar_t* name = CameraLibraryFile(cameraClass);
    std::vector<std::wstring> folders{m_folder};
    for (const std::wstring& folder : SystemFolders()) folders.push_back(folder);
    for (const std::wstring& folder : folders) {
        const std::wstring path = folder + L"\\" + name;
        if (!folder.empty() && IsFile(path)) return {U16(path), PeFileBits(path.c_str())};
    }
    return {};
}

HostStart Win32CameraHostProcess::Start(unsigned bits) {
    Kill();
    HostStart result;
    const std::wstring path = m_folder + (bits == 32 ? L"\\BrelkinCameraHost32.exe" : L"\\BrelkinCameraHost64.exe");
    result.path = U16(path);
    if (!IsFile(path)) {
        result.status = HostStartStatus::Missing;
        return result;
    }
    // Enders whose host has gone are done with.
    m_enders.erase(std::remove_if(m_enders.begin(), m_enders.end(),
                                  [](HANDLE ender) {
                                      if (WaitForSingleObject(ender, 0) != WAIT_OBJECT_0) return false;
                                      CloseHandle(ender);
                                      return true;
                                  }),
                   m_enders.end());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE commandsRead = nullptr, reportsWrite = nullptr, reportsRead = nullptr, self = nullptr;
    HANDLE hostSection = nullptr;
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(hostwire::WatchBlock), nullptr);
    // Room for thousands of commands: a host that stops reading never
    // blocks the interface thread's write.
    const bool made = section != nullptr && CreatePipe(&commandsRead, &m_commands, &inherit, 64 * 1024) &&
                      MakeReportPipe(reportsRead, reportsWrite) &&
                      DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                                      SYNCHRONIZE, TRUE, 0) &&
                      DuplicateHandle(GetCurrentProcess(), section, GetCurrentProcess(), &hostSection, 0, TRUE,
                                      DUPLICATE_SAME_ACCESS);
    auto fail = [&](DWORD error) {
        result.status = HostStartStatus::Refused;
        result.errorCode = error;
        result.errorText = SystemErrorText(error);
        for (HANDLE h : {commandsRead, reportsWrite, reportsRead, self, hostSection, section})
            if (h) CloseHandle(h);
        m_section = nullptr;
        LetGo();
        return result;
    };
    if (!made) return fail(GetLastError());
    // Our ends stay here.
    SetHandleInformation(m_commands, HANDLE_FLAG_INHERIT, 0);
    m_section = section;
    m_watch = static_cast<const hostwire::WatchBlock*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
    if (!m_watch) return fail(GetLastError());

    auto* pipe = new ReportPipe;
    pipe->read = reportsRead;
    pipe->window = m_window;
    HANDLE reader = pipe->Made() ? CreateThread(nullptr, 64 * 1024, ReadReports, pipe,
                                                STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)
                                 : nullptr;
    if (!reader) {
        const DWORD error = GetLastError();
        delete pipe;
        return fail(error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY);
    }
    CloseHandle(reader);
    m_pipe = pipe;
    reportsRead = nullptr;  // the reader's, which closes it

    wchar_t handles[128];
    std::swprintf(handles, 128, L" %llx %llx %llx %llx ",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(commandsRead)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(reportsWrite)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hostSection)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(self)));
    auto* launch = new Launch;
    launch->path = path;
    launch->command = L"\"" + path + L"\"" + handles + L"\"" + m_folder + L"\"";
    launch->inherited[0] = commandsRead;
    launch->inherited[1] = reportsWrite;
    launch->inherited[2] = hostSection;
    launch->inherited[3] = self;
    HANDLE launcher = CreateThread(nullptr, 64 * 1024, LaunchHost, launch, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!launcher) {
        const DWORD error = GetLastError();
        delete launch;
        // Our copy of the write end goes with the rest: the reader ends.
        return fail(error);
    }
    m_launch = launch;
    m_launcher = launcher;
    return result;
}

void Win32CameraHostProcess::TakeLaunch() {
    if (!m_launch || WaitForSingleObject(m_launcher, 0) != WAIT_OBJECT_0) return;
    m_process = m_launch->process;
    m_job = m_launch->job;
    m_startError = m_launch->error;
    // This host's: 0 when it has a job of its own.
    m_jobRefusal = !m_launch->jobRefused ? 0 : m_launch->jobError != 0 ? m_launch->jobError : ERROR_ACCESS_DENIED;
    m_launch->Release();
    m_launch = nullptr;
    CloseHandle(m_launcher);
    m_launcher = nullptr;
}

uint32_t Win32CameraHostProcess::JobRefusal() {
    TakeLaunch();
    return m_jobRefusal;
}

bool Win32CameraHostProcess::Send(const std::vector<uint8_t>& bytes) {
    DWORD written = 0;
    return m_commands && WriteFile(m_commands, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

size_t Win32CameraHostProcess::Receive(uint8_t* buffer, size_t capacity) {
    if (!m_pipe) return 0;
    std::vector<uint8_t>& received = m_pipe->received;
    EnterCriticalSection(&m_pipe->lock);
    const size_t n = received.size() < capacity ? received.size() : capacity;
    std::copy(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(n));
    LeaveCriticalSection(&m_pipe->lock);
    return n;
}

HostWatch Win32CameraHostProcess::Watch() {
    HostWatch watch;
    if (!m_watch) return watch;
    // One whole 64-bit read, also in the x86 build (the view is read-only,
    // so no interlocked compare-exchange).
    const uint64_t word = __atomic_load_n(&m_watch->callWord, __ATOMIC_ACQUIRE);
    watch.call = hostwire::CallOf(word);
    watch.startedMs = hostwire::StartOf(word);
    watch.libraryWindow = m_watch->libraryWindow == 1;
    return watch;
}

void Win32CameraHostProcess::AllowForeground() {
    TakeLaunch();
    if (m_process) AllowSetForegroundWindow(GetProcessId(m_process));
}

bool Win32CameraHostProcess::Ended(HostEnd& end) {
    TakeLaunch();
    if (m_startError != 0) {
        end = HostEnd{};
        end.start.status = HostStartStatus::Refused;
        end.start.errorCode = m_startError;
        end.start.errorText = SystemErrorText(m_startError);
        m_startError = 0;
        LetGo();
        return true;
    }
    if (!m_process || WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    end = HostEnd{};
    end.exitCode = code;
    if (m_watch && code == hostwire::HostExitCrashed && m_watch->crashed == 1) {
        MemoryBarrier();
        end.crashRecorded = true;
        end.exceptionCode = m_watch->crashCode;
        end.call = m_watch->crashCall;
        end.offset = m_watch->crashOffset;
        // Only a terminated name of plain characters is taken.
        std::u16string module;
        bool terminated = false;
        for (size_t i = 0; i < hostwire::CrashModuleChars; ++i) {
            const char16_t c = m_watch->crashModule[i];
            if (c == 0) {
                terminated = true;
                break;
            }
            if (c < 0x20 || c == u'\\' || c == u'/') break;
            module.push_back(c);
        }
        if (terminated) end.module = module;
    }
    LetGo();
    return true;
}

void Win32CameraHostProcess::Kill() {
    TakeLaunch();
    EndNow(m_process, m_job);
    m_process = nullptr;
    m_job = nullptr;
    LetGo();
}

void Win32CameraHostProcess::Finish(uint32_t milliseconds) {
    TakeLaunch();
    if (m_process) {
        if (HANDLE thread = EndAfter(m_process, m_job, milliseconds)) m_enders.push_back(thread);
        m_process = nullptr;
        m_job = nullptr;
    }
    LetGo();
}

void Win32CameraHostProcess::LetGo() {
    if (m_launch) {
        // A host still being started is ended by its launcher.
        m_launch->Abandon();
        m_launch = nullptr;
        // Waited for at exit, so that a host it is still creating ends up
        // in its job or ended.
        m_enders.push_back(m_launcher);
        m_launcher = nullptr;
    }
    m_startError = 0;
    // The host reads its commands to the end: a Quit just written still
    // arrives.
    if (m_commands) CloseHandle(m_commands);
    m_commands = nullptr;
    if (m_pipe) {
        // The reader closes its end once its read returns, at once.
        m_pipe->Abandon();
        m_pipe = nullptr;
    }
    if (m_watch) UnmapViewOfFile(m_watch);
    m_watch = nullptr;
    if (m_section) CloseHandle(m_section);
    m_section = nullptr;
    if (m_process) CloseHandle(m_process);
    m_process = nullptr;
    if (m_job) CloseHandle(m_job);
    m_job = nullptr;
}

}  // namespace brelkin
