#pragma once
// This process's handles: GetProcessHandleCount, or where it answers 0 (Wine
// does for every process) this process's entries in the system handle list,
// which Wine keeps real.
#include <windows.h>

#include <vector>

namespace soak {

// The system handle table's entries as the native query lists them.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

inline DWORD HandlesFromSystemList() {
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    static std::vector<char> buffer(1 << 22);  // kept: the counts must not include a fresh allocation's handles
    ULONG length = 0;
    if (query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0)
        return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == GetCurrentProcessId()) ++mine;
    return mine;
}

// `fromList` says which of the two counted.
inline DWORD ProcessHandleCount(bool* fromList = nullptr) {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    if (fromList) *fromList = handles == 0;
    return handles != 0 ? handles : HandlesFromSystemList();
}

}  // namespace soak
