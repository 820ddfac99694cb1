#pragma once
// The driver kind a first start picks, before the user has chosen one.
#include "engine/DriverKind.h"
#include "platform/OsVersion.h"

namespace brelkin {

// 5.0 and 5.1 use the WDM library; 5.2 and everything later the BDA one.
DriverKind DefaultDriverKindFor(OsVersion version);

}  // namespace brelkin
