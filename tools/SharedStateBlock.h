#pragma once
// A stand-in's state in a named shared-memory block of the user's session,
// set to its defaults by whichever process maps it first.
#include <windows.h>

namespace brelkin::standin {

// `Block` starts with `volatile LONG ready` (0 new, 1 being set up, 2 ready).
// Returns null on failure; the caller keeps the mapping handle while it uses
// the view, and the block lives while any process holds it.
template <typename Block>
Block* OpenSharedStateBlock(const wchar_t* name, void (*reset)(Block&), HANDLE* mappingOut)
{
    HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Block), name);
    if (!mapping)
        return nullptr;
    auto* block = static_cast<Block*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Block)));
    if (!block) {
        CloseHandle(mapping);
        return nullptr;
    }
    // A new mapping is zero-filled. Two processes may open it at once, so
    // exactly one sets the defaults and the other waits for it.
    if (InterlockedCompareExchange(&block->ready, 1, 0) == 0) {
        reset(*block);
        InterlockedExchange(&block->ready, 2);
    } else {
        for (int i = 0; i < 2000 && block->ready != 2; ++i)
            Sleep(1);
    }
    *mappingOut = mapping;
    return block;
}

template <typename Block>
void CloseSharedStateBlock(Block* block, HANDLE mapping)
{
    if (block)
        UnmapViewOfFile(block);
    if (mapping)
        CloseHandle(mapping);
}

}  // namespace brelkin::standin
