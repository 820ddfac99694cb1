#include "device/win32/Win32HostLauncher.h"

#include <vector>

namespace brelkin {

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

namespace {

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

HANDLE EndAfter(HANDLE process, HANDLE job, DWORD graceMs) {
    auto* ender = new Ender{process, job, graceMs};
    HANDLE thread = CreateThread(nullptr, 64 * 1024, EndInBackground, ender, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) {
        delete ender;
        EndNow(process, job);
    }
    return thread;
}

namespace {

// PROC_THREAD_ATTRIBUTE_JOB_LIST (Windows 10 1607 and later), which the
// headers give only to programs that need that Windows.
const DWORD_PTR JobListAttribute = ProcThreadAttributeValue(13, FALSE, TRUE, FALSE);

// CreateProcessW with only the four handles inherited, and, where Windows
// takes it, born in `job`: `born` says whether it was.
BOOL CreateHost(Launch& launch, HANDLE job, PROCESS_INFORMATION& pi, bool& born) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 2, 0, &size);
    std::vector<uint8_t> bytes(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(bytes.data());
    const bool listed = size != 0 && InitializeProcThreadAttributeList(attributes, 2, 0, &size) &&
                        UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, launch.inherited,
                                                  sizeof launch.inherited, nullptr, nullptr);
    // Older Windows refuses the attribute: the host is put into the job
    // while it is still suspended.
    born = listed && job && UpdateProcThreadAttribute(attributes, 0, JobListAttribute, &job, sizeof job, nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = listed ? sizeof startup : sizeof startup.StartupInfo;
    startup.lpAttributeList = listed ? attributes : nullptr;
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started = CreateProcessW(launch.path.c_str(), launch.command.data(), nullptr, nullptr, TRUE, flags,
                                        nullptr, nullptr, &startup.StartupInfo, &pi);
    const DWORD error = GetLastError();
    if (listed) DeleteProcThreadAttributeList(attributes);
    SetLastError(error);
    return started;
}

}  // namespace

DWORD WINAPI LaunchHost(void* parameter) {
    auto* launch = static_cast<Launch*>(parameter);
    // A job of its own before its first instruction: it and whatever the
    // library starts cannot outlive it being ended, nor Brelkin, not even an
    // exit of Brelkin during this launch.
    HANDLE job = KillOnCloseJob();
    PROCESS_INFORMATION pi{};
    bool born = false;
    BOOL started = CreateHost(*launch, job, pi, born);
    // Brelkin's own job may forbid a job inside it: the host starts without.
    if (!started && born) started = CreateHost(*launch, nullptr, pi, born);
    const DWORD error = started ? 0 : GetLastError();
    bool jobRefused = false;
    DWORD jobError = 0;
    if (started) {
        if (!born && (!job || !AssignProcessToJobObject(job, pi.hProcess))) {
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
    } else if (job) {
        CloseHandle(job);
        job = nullptr;
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

}  // namespace brelkin
