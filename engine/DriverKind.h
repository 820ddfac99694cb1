#pragma once
#include <cstdint>

namespace brelkin {

// Which closed camera library the poll reads: 0 WDM (emDLL.dll, CEM2800Prop),
// every other value BDA (BDADLL.dll, CBDA2800). Stored values pass through
// unchanged, so a 2 stays a 2.
using DriverKind = int32_t;
constexpr DriverKind DriverWdm = 0;
constexpr DriverKind DriverBda = 1;

inline bool IsBda(DriverKind kind) { return kind != DriverWdm; }

}  // namespace brelkin
