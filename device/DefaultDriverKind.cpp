#include "device/DefaultDriverKind.h"

namespace brelkin {

DriverKind DefaultDriverKindFor(OsVersion version)
{
    const bool bda = version.major >= 6 || (version.major == 5 && version.minor >= 2);
    return bda ? DriverBda : DriverWdm;
}

}  // namespace brelkin
