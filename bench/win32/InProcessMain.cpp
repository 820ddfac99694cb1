// BrelkinInProcess.exe: Brelkin as it was before the camera host, with the
// camera library in its own process, measured beside Brelkin.exe in the same
// bench run. Never shipped.
#include <windows.h>

#include "dialogs/DialogRunner.h"
#include "shell/TolvacoreApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    brelkin::DialogRunner dialogs;
    brelkin::CTolvacoreApp app;
    app.SetDialogRunner(dialogs);
    app.Services().makeDevices = &brelkin::MakeInProcessFrameDevices;
    return app.RunApplication(instance);
}
