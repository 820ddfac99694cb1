#include "device/win32/Win32CameraHostProcess.h"

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

}  // namespace

Win32CameraHostProcess::Win32CameraHostProcess() : m_folder(ProgramFolder()) {
    InitializeCriticalSection(&m_lock);
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
}

Win32CameraHostProcess::~Win32CameraHostProcess() {
    Kill();
    if (m_job) CloseHandle(m_job);
    DeleteCriticalSection(&m_lock);
}

bool Win32CameraHostProcess::CanRun(unsigned bits) const {
    return bits != 64 || sizeof(void*) == 8 || OnWow64();
}

FoundLibrary Win32CameraHostProcess::FindLibrary(CameraClass cameraClass) {
    const wchar_t* name = cameraClass == CameraClass::Wdm ? L"emDLL.dll" : L"BDADLL.dll";
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
    const std::wstring path = m_folder + (bits == 32 ? L"\\x86" : L"\\x64") + L"\\BrelkinCameraHost.exe";
    result.path = U16(path);
    if (!IsFile(path)) {
        result.status = HostStartStatus::Missing;
        return result;
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE commandsRead = nullptr, reportsWrite = nullptr, self = nullptr;
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0,
                                        sizeof(hostwire::WatchBlock), nullptr);
    const bool made = section != nullptr && CreatePipe(&commandsRead, &m_commands, &inherit, 0) &&
                      CreatePipe(&m_reports, &reportsWrite, &inherit, 0) &&
                      DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                                      SYNCHRONIZE, TRUE, 0);
    auto fail = [&](DWORD error) {
        result.status = HostStartStatus::Refused;
        result.errorCode = error;
        result.errorText = SystemErrorText(error);
        for (HANDLE h : {commandsRead, reportsWrite, self, section})
            if (h) CloseHandle(h);
        m_section = nullptr;
        LetGo();
        return result;
    };
    if (!made) return fail(GetLastError());
    // Our ends stay here.
    SetHandleInformation(m_commands, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(m_reports, HANDLE_FLAG_INHERIT, 0);
    m_section = section;
    m_watch = static_cast<const hostwire::WatchBlock*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
    if (!m_watch) return fail(GetLastError());

    wchar_t handles[128];
    std::swprintf(handles, 128, L" %llx %llx %llx %llx ",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(commandsRead)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(reportsWrite)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(section)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(self)));
    std::wstring command = L"\"" + path + L"\"" + handles + L"\"" + m_folder + L"\"";

    // Only these four handles go to the host, whatever else is inheritable.
    HANDLE inherited[4] = {commandsRead, reportsWrite, section, self};
    SIZE_T attributeSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
    std::vector<uint8_t> attributeBytes(attributeSize);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBytes.data());
    const bool listed = attributeSize != 0 && InitializeProcThreadAttributeList(attributes, 1, 0, &attributeSize) &&
                        UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                  sizeof inherited, nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = listed ? sizeof startup : sizeof startup.StartupInfo;
    startup.lpAttributeList = listed ? attributes : nullptr;
    PROCESS_INFORMATION pi{};
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started = CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                        nullptr, &startup.StartupInfo, &pi);
    const DWORD error = GetLastError();
    if (listed) DeleteProcThreadAttributeList(attributes);
    if (!started) return fail(error);
    // In the job before its first instruction: it cannot outlive Brelkin.
    if (m_job) AssignProcessToJobObject(m_job, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    for (HANDLE h : {commandsRead, reportsWrite, self}) CloseHandle(h);
    {
        EnterCriticalSection(&m_lock);
        m_received.clear();
        LeaveCriticalSection(&m_lock);
    }
    m_reader = CreateThread(nullptr, 64 * 1024, ReaderThread, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    return result;
}

DWORD WINAPI Win32CameraHostProcess::ReaderThread(void* self) {
    static_cast<Win32CameraHostProcess*>(self)->ReadReports();
    return 0;
}

void Win32CameraHostProcess::ReadReports() {
    uint8_t buffer[512];
    for (;;) {
        DWORD got = 0;
        const bool ok = ReadFile(m_reports, buffer, sizeof buffer, &got, nullptr) && got > 0;
        if (ok) {
            EnterCriticalSection(&m_lock);
            // Bounded: a host that floods the pipe loses its own bytes.
            if (m_received.size() < 64 * 1024) m_received.insert(m_received.end(), buffer, buffer + got);
            LeaveCriticalSection(&m_lock);
        }
        // The end of the pipe is news too: the host has gone.
        if (HWND window = m_window) PostMessageW(window, CameraHostReportMessage, 0, 0);
        if (!ok) return;
    }
}

bool Win32CameraHostProcess::Send(const std::vector<uint8_t>& bytes) {
    DWORD written = 0;
    return m_commands && WriteFile(m_commands, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

size_t Win32CameraHostProcess::Receive(uint8_t* buffer, size_t capacity) {
    EnterCriticalSection(&m_lock);
    const size_t n = m_received.size() < capacity ? m_received.size() : capacity;
    std::copy(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    m_received.erase(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(n));
    LeaveCriticalSection(&m_lock);
    return n;
}

HostWatch Win32CameraHostProcess::Watch() {
    HostWatch watch;
    if (!m_watch) return watch;
    watch.call = m_watch->call;
    MemoryBarrier();
    watch.startedMs = m_watch->callStartedMs;
    return watch;
}

bool Win32CameraHostProcess::Ended(HostEnd& end) {
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
    if (m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 2000);
    }
    LetGo();
}

void Win32CameraHostProcess::Finish(uint32_t milliseconds) {
    if (m_process && WaitForSingleObject(m_process, milliseconds) == WAIT_TIMEOUT) TerminateProcess(m_process, 1);
    if (m_process) WaitForSingleObject(m_process, 2000);
    LetGo();
}

void Win32CameraHostProcess::LetGo() {
    if (m_commands) CloseHandle(m_commands);
    m_commands = nullptr;
    if (m_reader) {
        // The host's end closed with it, so the reader's ReadFile returns.
        WaitForSingleObject(m_reader, 2000);
        CloseHandle(m_reader);
        m_reader = nullptr;
    }
    if (m_reports) CloseHandle(m_reports);
    m_reports = nullptr;
    if (m_watch) UnmapViewOfFile(m_watch);
    m_watch = nullptr;
    if (m_section) CloseHandle(m_section);
    m_section = nullptr;
    if (m_process) CloseHandle(m_process);
    m_process = nullptr;
}

}  // namespace brelkin
