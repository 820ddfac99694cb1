#include <windows.h>

#include "dialogs/DialogRunner.h"
#include "shell/TolvacoreApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Declared before the application so that it outlives the frame, which
    // calls it from the Custom Setting, WDM/BDA Setting and About commands.
    brelkin::DialogRunner dialogs;
    brelkin::CTolvacoreApp app;
    app.SetDialogRunner(dialogs);
    return app.RunApplication(instance);
}
