#pragma once
// COM initialisation of the user-interface thread. Each camera library object
// is bracketed by one CoInitialize and one CoUninitialize.

namespace brelkin {

class ICom {
public:
    virtual ~ICom() = default;
    virtual void CoInitialize() = 0;    // result not examined
    virtual void CoUninitialize() = 0;
};

}  // namespace brelkin
