/* Test and run-script helper: finds or closes Brelkin's hidden frame window.
 *   WindowProbe find            exit 0 and prints the process id when the frame exists, else 1
 *   WindowProbe close <ms>      WM_CLOSE to the frame (as the Exit command does), waits for the
 *                               process to end; exit 0 when none runs afterwards, else 1
 *   WindowProbe process <name>  exit 0 when a process of that exe name runs, else 1
 *   WindowProbe command <id>    a menu command to the frame, as choosing the tray menu item does;
 *                               exit 0 when it was handled, else 1
 *   WindowProbe wow64           exit 0 when this is a 32-bit process under WoW64 that can create
 *                               a window, else 1 with what is missing (checked before the x86 run)
 *   WindowProbe hold <mutex> <ms>  holds a named mutex, as another install does, until
 *                               "WindowProbe release" or <ms>
 *   WindowProbe make <mutex> <ms>  the same, but the mutex only exists and nobody holds it, as
 *                               Windows Installer leaves _MSIExecute after an install
 *   WindowProbe held <mutex>    exit 0 when the named mutex exists, else 1
 *   WindowProbe release         ends every hold
 */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>

static const wchar_t kFrameClass[] = L"BrelkinFrame128";
static const wchar_t kFrameTitle[] = L"Tolvacore";

static int Find(void) {
    HWND frame = FindWindowW(kFrameClass, kFrameTitle);
    if (!frame) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    printf("%lu\n", (unsigned long)pid);
    return 0;
}

static int Close(DWORD timeoutMs) {
    HWND frame = FindWindowW(kFrameClass, kFrameTitle);
    if (!frame) return 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    DWORD_PTR ignored;
    SendMessageTimeoutW(frame, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored);
    int ended = 1;
    if (process) {
        ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
        CloseHandle(process);
    }
    return ended && !FindWindowW(kFrameClass, kFrameTitle) ? 0 : 1;
}

static int Process(const wchar_t* name) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 2;
    PROCESSENTRY32W entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    int found = 0;
    for (BOOL ok = Process32FirstW(snap, &entry); ok && !found; ok = Process32NextW(snap, &entry))
        found = lstrcmpiW(entry.szExeFile, name) == 0;
    CloseHandle(snap);
    return found ? 0 : 1;
}

static int Command(WPARAM id) {
    HWND frame = FindWindowW(kFrameClass, kFrameTitle);
    DWORD_PTR ignored;
    if (!frame) return 1;
    /* Sent, not posted: when it returns, the program has saved the choice. */
    return SendMessageTimeoutW(frame, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, &ignored) ? 0 : 1;
}

static const wchar_t kReleaseEvent[] = L"BrelkinProbeRelease";

static int Keep(const wchar_t* name, DWORD timeoutMs, BOOL held) {
    /* The event is armed before the mutex exists: a script that sees the mutex
     * held and then releases it is never undone by a late reset. */
    HANDLE release = CreateEventW(NULL, TRUE, FALSE, kReleaseEvent);
    HANDLE mutex;
    if (!release) return 1;
    ResetEvent(release);
    mutex = CreateMutexW(NULL, held, name);
    if (!mutex) return 1;
    WaitForSingleObject(release, timeoutMs);
    CloseHandle(mutex);
    CloseHandle(release);
    return 0;
}

static int Held(const wchar_t* name) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
    if (!mutex) return 1;
    CloseHandle(mutex);
    return 0;
}

static int Release(void) {
    HANDLE release = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReleaseEvent);
    if (!release) return 0;
    SetEvent(release);
    CloseHandle(release);
    return 0;
}

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

static int Wow64(void) {
    int failures = 0;
    if (sizeof(void*) != 4) {
        fprintf(stderr, "WoW64 probe: pointer size is %u, not 4: this is not the x86 build\n",
                (unsigned)sizeof(void*));
        ++failures;
    }
    /* Looked up at run time: a Wine without the export must fail here, not at load. */
    IsWow64ProcessFn isWow64 =
        (IsWow64ProcessFn)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (!isWow64 || !isWow64(GetCurrentProcess(), &wow64) || !wow64) {
        fprintf(stderr, "WoW64 probe: IsWow64Process does not say TRUE\n");
        ++failures;
    }
    /* A prefix made before the i386 libraries were in place starts 32-bit programs but
     * gives them no windows. */
    HWND window = CreateWindowExW(0, L"STATIC", L"WoW64 probe", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  GetModuleHandleW(NULL), NULL);
    if (!window) {
        fprintf(stderr, "WoW64 probe: CreateWindowExW failed (error %lu)\n", GetLastError());
        ++failures;
    } else {
        DestroyWindow(window);
    }
    if (failures == 0) printf("WoW64 probe: 32-bit pointers, IsWow64Process TRUE, a window was created\n");
    return failures ? 1 : 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && !lstrcmpW(argv[1], L"find")) return Find();
    if (argc >= 3 && !lstrcmpW(argv[1], L"close")) return Close((DWORD)_wtoi(argv[2]));
    if (argc >= 3 && !lstrcmpW(argv[1], L"process")) return Process(argv[2]);
    if (argc >= 3 && !lstrcmpW(argv[1], L"command")) return Command((WPARAM)_wtoi(argv[2]));
    if (argc >= 2 && !lstrcmpW(argv[1], L"wow64")) return Wow64();
    if (argc >= 4 && !lstrcmpW(argv[1], L"hold")) return Keep(argv[2], (DWORD)_wtoi(argv[3]), TRUE);
    if (argc >= 4 && !lstrcmpW(argv[1], L"make")) return Keep(argv[2], (DWORD)_wtoi(argv[3]), FALSE);
    if (argc >= 3 && !lstrcmpW(argv[1], L"held")) return Held(argv[2]);
    if (argc >= 2 && !lstrcmpW(argv[1], L"release")) return Release();
    fprintf(stderr, "usage: WindowProbe find | close <ms> | process <exe name> | command <id> | wow64 |"
                    " hold <mutex> <ms> | make <mutex> <ms> | held <mutex> | release\n");
    return 2;
}
