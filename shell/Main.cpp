#include <windows.h>

#include "shell/TolvacoreApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    brelkin::CTolvacoreApp app;
    return app.RunApplication(instance);
}
