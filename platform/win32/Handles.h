#pragma once
// One small move-only owner per kind of handle. Members of these types are
// released in reverse order of declaration, which is what fixes the teardown
// order of the objects that hold them.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }

    Type release() { return std::exchange(m_handle, Traits::Invalid()); }
    void reset(Type handle = Traits::Invalid()) {
        Type old = std::exchange(m_handle, handle);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    Type m_handle = Traits::Invalid();
};

namespace handle_traits {

// CreateEventW and most kernel calls report failure as null; CreateFileW is the
// exception and is owned elsewhere.
struct Kernel {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
// The handle kinds whose failure value is null and that one call releases.
template <typename HandleType, auto CloseFunction>
struct NullIsInvalid {
    using Type = HandleType;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { CloseFunction(h); }
};
using Menu = NullIsInvalid<HMENU, &::DestroyMenu>;
using Module = NullIsInvalid<HMODULE, &::FreeLibrary>;
using RegistryKey = NullIsInvalid<HKEY, &::RegCloseKey>;
using Hook = NullIsInvalid<HHOOK, &::UnhookWindowsHookEx>;
using Font = NullIsInvalid<HFONT, &::DeleteObject>;
using Brush = NullIsInvalid<HBRUSH, &::DeleteObject>;
using Icon = NullIsInvalid<HICON, &::DestroyIcon>;

}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueMenu = UniqueHandle<handle_traits::Menu>;
using UniqueModule = UniqueHandle<handle_traits::Module>;
using UniqueRegistryKey = UniqueHandle<handle_traits::RegistryKey>;
using UniqueHook = UniqueHandle<handle_traits::Hook>;
using UniqueFont = UniqueHandle<handle_traits::Font>;
using UniqueBrush = UniqueHandle<handle_traits::Brush>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
