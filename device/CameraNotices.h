#pragma once
// The words for what went wrong with a camera library or the camera: one
// support-log line per load, and the notification that names the cause and
// the next step.
#include <string>

#include "engine/DriverKind.h"
#include "platform/CameraLibrary.h"

namespace brelkin {

std::string LibraryLoadLine(const LibraryLoadReport& report);
// Empty for a library that loaded.
std::u16string LibraryProblemText(const LibraryLoadReport& report);
std::u16string CameraSilentText(DriverKind kind);
const char* DriverKindName(DriverKind kind);

}  // namespace brelkin
