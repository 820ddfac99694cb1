#pragma once
// Recognising the members of a closed C++ class among a library's exports by
// their MSVC-decorated names. We do not know the vendor's exact declarations
// (HANDLE or ULONG_PTR, BOOL or bool), so only the class and member names are
// fixed; the return type is read to know how much of the result register
// holds the value.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace brelkin {

enum class ClassMember {
    Constructor,  // the default constructor only
    Destructor,
    OpenInterface,
    CloseInterface,
    IsInterfaceValid,
    GetPIO,
    IsButtonPressed,
};
constexpr size_t ClassMemberCount = 7;
constexpr std::array<ClassMember, ClassMemberCount> AllClassMembers = {
    ClassMember::Constructor,      ClassMember::Destructor, ClassMember::OpenInterface,
    ClassMember::CloseInterface,   ClassMember::IsInterfaceValid, ClassMember::GetPIO,
    ClassMember::IsButtonPressed};

struct MemberMatch {
    // Bytes of the result register that carry the return value: 1, 2, 4 or
    // 8, or 0 when the whole register counts (pointers, unknown types, void).
    unsigned returnBytes = 0;
};

// Whether the decorated export name is that member of the class (a class at
// global scope, a non-static member function of any access and convention).
std::optional<MemberMatch> MatchClassMember(std::string_view decorated, std::string_view className,
                                            ClassMember member);

}  // namespace brelkin
