#include "device/DecoratedName.h"

#include <string>

namespace brelkin {

namespace {

std::string_view MemberName(ClassMember member)
{
    switch (member) {
    case ClassMember::OpenInterface: return "OpenInterface";
    case ClassMember::CloseInterface: return "CloseInterface";
    case ClassMember::IsInterfaceValid: return "IsInterfaceValid";
    case ClassMember::GetPIO: return "GetPIO";
    case ClassMember::IsButtonPressed: return "IsButtonPressed";
    default: return {};
    }
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool IsInstanceAccess(char c)
{
    // Public, protected or private; plain, virtual or thunk. Static members
    // (C, K, S) and free functions (Y, Z) take no object.
    switch (c) {
    case 'A': case 'B': case 'E': case 'F': case 'I': case 'J':
    case 'M': case 'N': case 'Q': case 'R': case 'U': case 'V':
        return true;
    default:
        return false;
    }
}

// The width in bytes of a return type code, 0 for "the whole register".
unsigned ReturnBytes(std::string_view type)
{
    if (type.empty())
        return 0;
    if (type[0] == '_' && type.size() > 1) {
        switch (type[1]) {
        case 'N': return 1;       // bool
        case 'W': return 2;       // wchar_t
        case 'J': case 'K': return 8;  // __int64
        default: return 0;
        }
    }
    switch (type[0]) {
    case 'C': case 'D': case 'E': return 1;            // char
    case 'F': case 'G': return 2;                      // short
    case 'H': case 'I': case 'J': case 'K': return 4;  // int, long
    default: return 0;                                 // pointers, void, classes
    }
}

}  // namespace

std::optional<MemberMatch> MatchClassMember(std::string_view decorated, std::string_view className,
                                            ClassMember member)
{
    const std::string scope = std::string(className) + "@@";
    if (member == ClassMember::Constructor || member == ClassMember::Destructor) {
        const std::string prefix = (member == ClassMember::Constructor ? "??0" : "??1") + scope;
        if (!StartsWith(decorated, prefix))
            return std::nullopt;
        // "@XZ": an empty parameter list, so never the copy constructor.
        const std::string_view tail = decorated.substr(prefix.size());
        if (tail.size() < 3 || !IsInstanceAccess(tail[0]) ||
            tail.substr(tail.size() - 3) != "@XZ")
            return std::nullopt;
        return MemberMatch{0};
    }

    const std::string prefix = "?" + std::string(MemberName(member)) + "@" + scope;
    if (!StartsWith(decorated, prefix))
        return std::nullopt;
    std::string_view rest = decorated.substr(prefix.size());
    // Access, then on x64 the E of a 64-bit this, then this's cv qualifier,
    // then the calling convention, then the return type.
    if (rest.empty() || !IsInstanceAccess(rest[0]))
        return std::nullopt;
    rest.remove_prefix(1);
    if (!rest.empty() && rest[0] == 'E')
        rest.remove_prefix(1);
    if (rest.size() < 3)
        return std::nullopt;
    rest.remove_prefix(2);
    return MemberMatch{ReturnBytes(rest)};
}

}  // namespace brelkin
