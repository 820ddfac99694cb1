// The one application object of the shell tests. Settings go to a private
// registry key so that a running Brelkin is not disturbed.
#include "framework/WinApp.h"

CWinApp g_shellTestApp(L"Tolvacore");
