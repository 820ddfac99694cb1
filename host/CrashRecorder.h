#pragma once
// The host's last words: on an exception that nothing handled, the code, the
// faulting module and offset and the camera call it happened in go into the
// watch block, and the host ends with HostExitCrashed.
#include "device/CameraHostProtocol.h"

namespace brelkin::host {

void InstallCrashRecorder(hostwire::WatchBlock* block);

}  // namespace brelkin::host
