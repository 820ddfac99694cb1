#include "host/CrashRecorder.h"

#include <windows.h>

namespace brelkin::host {

namespace {

hostwire::WatchBlock* g_block = nullptr;

LONG WINAPI RecordCrash(EXCEPTION_POINTERS* info) {
    // Only memory writes and two loader queries: the heap may be what broke.
    hostwire::WatchBlock* block = g_block;
    if (block != nullptr && info != nullptr && info->ExceptionRecord != nullptr) {
        const EXCEPTION_RECORD& record = *info->ExceptionRecord;
        block->crashCode = record.ExceptionCode;
        block->crashCall = hostwire::CallOf(block->callWord);
        HMODULE module = nullptr;
        const auto address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(record.ExceptionAddress), &module) &&
            module != nullptr) {
            wchar_t path[MAX_PATH] = {};
            const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
            const wchar_t* name = path;
            for (DWORD i = 0; i < n && i < MAX_PATH; ++i)
                if (path[i] == L'\\' || path[i] == L'/') name = path + i + 1;
            size_t i = 0;
            for (; name[i] != 0 && i + 1 < hostwire::CrashModuleChars; ++i)
                block->crashModule[i] = static_cast<char16_t>(name[i]);
            block->crashModule[i] = 0;
            block->crashOffset = address - reinterpret_cast<uintptr_t>(module);
        } else {
            block->crashModule[0] = 0;
            block->crashOffset = address;
        }
        MemoryBarrier();
        block->crashed = 1;
    }
    TerminateProcess(GetCurrentProcess(), hostwire::HostExitCrashed);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallCrashRecorder(hostwire::WatchBlock* block) {
    g_block = block;
    // No error box and no debugger prompt: Brelkin is the one that reports.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(RecordCrash);
}

}  // namespace brelkin::host
