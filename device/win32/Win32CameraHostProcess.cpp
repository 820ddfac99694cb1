#include "device/win32/Win32CameraHostProcess.h"

#include <algorithm>
#include <cstdio>

#include "device/win32/VendorCameraLibrary.h"

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

HANDLE KillOnCloseJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Ends a host and everything in its job, without waiting for either.
void EndNow(HANDLE process, HANDLE job) {
    if (job) {
        TerminateJobObject(job, 1);
        CloseHandle(job);
    }
    if (process) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

// A host told to quit: it gets its time to close the camera, then is ended.
struct Ender {
    HANDLE process;
    HANDLE job;
    DWORD graceMs;
};

DWORD WINAPI EndInBackground(void* parameter) {
    auto* ender = static_cast<Ender*>(parameter);
    if (WaitForSingleObject(ender->process, ender->graceMs) == WAIT_OBJECT_0) {
        // Whatever the library started goes with the job.
        EndNow(nullptr, ender->job);
        CloseHandle(ender->process);
    } else {
        EndNow(ender->process, ender->job);
    }
    delete ender;
    return 0;
}

}  // namespace

// Shared by the process object and the reader thread; the last to let go
// frees it. The thread alone closes the pipe, under the lock, so that no
// handle is closed while a read is in it and none is cancelled once closed.
struct ReportPipe {
    HANDLE read = nullptr;
    HANDLE thread = nullptr;  // the reader, for CancelSynchronousIo
    CRITICAL_SECTION lock;
    std::vector<uint8_t> received;
    HWND window = nullptr;
    bool abandoned = false;
    volatile LONG refs = 2;

    ReportPipe() { InitializeCriticalSection(&lock); }
    ~ReportPipe() {
        if (thread) CloseHandle(thread);
        DeleteCriticalSection(&lock);
    }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
};

// The host's CreateProcessW on a thread of its own: the interface thread
// never waits for the loader, or for an antivirus that scans the new process.
// Shared like ReportPipe; a host whose start was abandoned is ended by the
// launcher.
struct Launch {
    std::wstring path;
    std::wstring command;
    HANDLE inherited[4] = {};  // the host's ends; the launcher closes them
    CRITICAL_SECTION lock;
    bool abandoned = false;
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    DWORD error = 0;  // CreateProcessW's
    bool jobRefused = false;
    DWORD jobError = 0;
    volatile LONG refs = 2;

    Launch() { InitializeCriticalSection(&lock); }
    ~Launch() { DeleteCriticalSection(&lock); }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
    void Abandon() {
        EnterCriticalSection(&lock);
        abandoned = true;
        EndNow(process, job);
        process = job = nullptr;
        LeaveCriticalSection(&lock);
        Release();
    }
};

namespace {

DWORD WINAPI LaunchHost(void* parameter) {
    auto* launch = static_cast<Launch*>(parameter);
    // Only these four handles go to the host, whatever else is inheritable.
    SIZE_T attributeSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
    std::vector<uint8_t> attributeBytes(attributeSize);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBytes.data());
    const bool listed = attributeSize != 0 && InitializeProcThreadAttributeList(attributes, 1, 0, &attributeSize) &&
                        UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, launch->inherited,
                                                  sizeof launch->inherited, nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = listed ? sizeof startup : sizeof startup.StartupInfo;
    startup.lpAttributeList = listed ? attributes : nullptr;
    PROCESS_INFORMATION pi{};
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started = CreateProcessW(launch->path.c_str(), launch->command.data(), nullptr, nullptr, TRUE, flags,
                                        nullptr, nullptr, &startup.StartupInfo, &pi);
    const DWORD error = started ? 0 : GetLastError();
    if (listed) DeleteProcThreadAttributeList(attributes);
    HANDLE job = nullptr;
    bool jobRefused = false;
    DWORD jobError = 0;
    if (started) {
        // In a job of its own before its first instruction: it and whatever
        // the library starts cannot outlive it being ended, nor Brelkin.
        job = KillOnCloseJob();
        if (!job || !AssignProcessToJobObject(job, pi.hProcess)) {
            // Brelkin runs in a job that takes no job inside it (Windows 7,
            // or a job without breakaway): the broken pipe and the wait on
            // Brelkin's process handle still end the host.
            jobRefused = true;
            jobError = GetLastError();
            if (job) CloseHandle(job);
            job = nullptr;
        }
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
    }
    // The host has its own copies now; without a host, the report pipe's
    // write end closing wakes the reader.
    for (HANDLE h : launch->inherited)
        if (h) CloseHandle(h);
    EnterCriticalSection(&launch->lock);
    if (launch->abandoned) {
        EndNow(started ? pi.hProcess : nullptr, job);
    } else {
        launch->process = started ? pi.hProcess : nullptr;
        launch->job = job;
        launch->error = started ? 0 : (error != 0 ? error : ERROR_GEN_FAILURE);
        launch->jobRefused = jobRefused;
        launch->jobError = jobError;
    }
    LeaveCriticalSection(&launch->lock);
    launch->Release();
    return 0;
}

DWORD WINAPI ReadReports(void* parameter) {
    auto* pipe = static_cast<ReportPipe*>(parameter);
    uint8_t buffer[512];
    for (;;) {
        DWORD got = 0;
        const bool ok = ReadFile(pipe->read, buffer, sizeof buffer, &got, nullptr) && got > 0;
        EnterCriticalSection(&pipe->lock);
        // Bounded: a host that floods the pipe loses its own bytes.
        if (ok && !pipe->abandoned && pipe->received.size() < 64 * 1024)
            pipe->received.insert(pipe->received.end(), buffer, buffer + got);
        const HWND window = pipe->abandoned ? nullptr : pipe->window;
        const bool last = !ok || pipe->abandoned;
        if (last) {
            CloseHandle(pipe->read);
            pipe->read = nullptr;
        }
        LeaveCriticalSection(&pipe->lock);
        // The end of the pipe is news too: the host has gone.
        if (window) PostMessageW(window, CameraHostReportMessage, 0, 0);
        if (last) break;
    }
    pipe->Release();
    return 0;
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
                      CreatePipe(&reportsRead, &reportsWrite, &inherit, 0) &&
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
    SetHandleInformation(reportsRead, HANDLE_FLAG_INHERIT, 0);
    m_section = section;
    m_watch = static_cast<const hostwire::WatchBlock*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
    if (!m_watch) return fail(GetLastError());

    auto* pipe = new ReportPipe;
    pipe->read = reportsRead;
    pipe->window = m_window;
    // Started suspended, so that its handle is in place before its first read.
    HANDLE reader = CreateThread(nullptr, 64 * 1024, ReadReports, pipe,
                                 CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!reader) {
        const DWORD error = GetLastError();
        delete pipe;
        return fail(error);
    }
    pipe->thread = reader;
    ResumeThread(reader);
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
    return watch;
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
        auto* ender = new Ender{m_process, m_job, milliseconds};
        HANDLE thread =
            CreateThread(nullptr, 64 * 1024, EndInBackground, ender, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread) {
            m_enders.push_back(thread);
        } else {
            delete ender;
            EndNow(m_process, m_job);
        }
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
        CloseHandle(m_launcher);
        m_launcher = nullptr;
    }
    m_startError = 0;
    // The host reads its commands to the end: a Quit just written still
    // arrives.
    if (m_commands) CloseHandle(m_commands);
    m_commands = nullptr;
    if (m_pipe) {
        // The reader thread closes its end once its read returns: at once
        // if the read can be cancelled, else when the host's end closes.
        EnterCriticalSection(&m_pipe->lock);
        m_pipe->abandoned = true;
        // A read on a synchronous pipe is cancelled for certain only on
        // its thread's behalf; CancelIoEx for whatever else is pending.
        if (m_pipe->read) {
            CancelIoEx(m_pipe->read, nullptr);
            CancelSynchronousIo(m_pipe->thread);
        }
        LeaveCriticalSection(&m_pipe->lock);
        m_pipe->Release();
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
