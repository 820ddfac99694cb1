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

// A stand-in library's view of its block, mapped at the first call and
// unmapped when the library is unloaded. While the block cannot be mapped
// (a passing shortage under load) the library answers from a private copy
// with the defaults, and tries again at its next call: a test that set a
// fault in the block sees it as soon as the block can be mapped.
template <typename Block>
class StandInBlock {
public:
    StandInBlock(const wchar_t* name, void (*reset)(Block&)) : m_name(name), m_reset(reset) {}

    Block& Get()
    {
        if (!m_block)
            m_block = OpenSharedStateBlock(m_name, m_reset, &m_mapping);
        if (m_block)
            return *m_block;
        if (!m_fallbackReady) {
            m_reset(m_fallback);
            m_fallbackReady = true;
        }
        return m_fallback;
    }

    // From DllMain on DLL_PROCESS_DETACH.
    void Release()
    {
        if (m_block)
            CloseSharedStateBlock(m_block, m_mapping);
        m_block = nullptr;
        m_mapping = nullptr;
    }

private:
    const wchar_t* m_name;
    void (*m_reset)(Block&);
    HANDLE m_mapping = nullptr;
    Block* m_block = nullptr;
    Block m_fallback{};
    bool m_fallbackReady = false;
};

}  // namespace brelkin::standin
