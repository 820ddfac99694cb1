#include "device/CameraNotices.h"

#include "support/Utf8.h"

namespace brelkin {

namespace {

std::u16string Bits(unsigned bits) {
    return bits == 32 ? u"32-bit" : u"64-bit";
}

std::u16string Setup(unsigned bits) {
    return bits == 32 ? u"BrelkinSetup-x86.exe" : u"BrelkinSetup-x64.exe";
}

std::u16string U16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

const char* DriverKindName(DriverKind kind) {
    return IsBda(kind) ? "BDA" : "WDM";
}

std::string LibraryLoadLine(const LibraryLoadReport& r) {
    const std::string where = ToUtf8(r.path.empty() ? r.library : r.path);
    std::string line = "Library " + where + ": ";
    const std::string error = r.errorCode == 0 ? std::string()
        : ", error " + std::to_string(r.errorCode) + " (" + ToUtf8(r.errorText) + ")";
    switch (r.status) {
    case LibraryLoadStatus::Loaded: return line + "loaded";
    case LibraryLoadStatus::Missing:
        return line + "not found in " + ToUtf8(r.programFolder) + " or " + ToUtf8(r.systemFolder) + error;
    case LibraryLoadStatus::WrongBitness:
        return line + "not loaded, a " + ToUtf8(Bits(r.libraryBits)) + " library in a " +
               ToUtf8(Bits(r.programBits)) + " program" + error;
    case LibraryLoadStatus::LoadFailed: return line + "not loaded" + error;
    case LibraryLoadStatus::NotCameraLibrary: return line + "not a camera library" + error;
    case LibraryLoadStatus::MemberMissing: return line + "loaded, but lacks " + r.member;
    }
    return line;
}

std::u16string LibraryProblemText(const LibraryLoadReport& r) {
    switch (r.status) {
    case LibraryLoadStatus::Loaded: return {};
    case LibraryLoadStatus::Missing:
        return r.library + u" is neither in Brelkin's folder (" + r.programFolder +
               u") nor in the system folder (" + r.systemFolder + u"). Copy the camera's " + r.library +
               u" into one of them, then choose \"Rescan Camera\".";
    case LibraryLoadStatus::WrongBitness:
        return r.path + u" is a " + Bits(r.libraryBits) + u" library; this Brelkin is " +
               Bits(r.programBits) + u": install " + Setup(r.libraryBits) + u".";
    case LibraryLoadStatus::LoadFailed:
        return r.path + u" cannot be loaded (error " + U16(std::to_string(r.errorCode)) + u": " +
               r.errorText + u"). Reinstall the camera's software.";
    case LibraryLoadStatus::NotCameraLibrary:
        return r.path + u" is not the camera library Brelkin needs. Copy the camera vendor's " +
               r.library + u" over it, then choose \"Rescan Camera\".";
    case LibraryLoadStatus::MemberMissing:
        return r.path + u" lacks " + U16(r.member) +
               u", which Brelkin needs. Install the camera vendor's current " + r.library + u".";
    }
    return {};
}

std::u16string CameraSilentText(DriverKind kind) {
    return IsBda(kind)
        ? u"The camera does not answer through the BDA driver. Check that it is plugged in, or "
          u"choose WDM under \"WDM/BDA Setting\"."
        : u"The camera does not answer through the WDM driver. Check that it is plugged in, or "
          u"choose BDA under \"WDM/BDA Setting\".";
}

}  // namespace brelkin
