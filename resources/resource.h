// Resource ids of Brelkin.exe, grouped by kind. Plain #defines: the resource
// compiler reads this file too.
#pragma once

// Frame resource set: title string, application icon group
#define IDR_MAINFRAME           128

// Menus
#define IDR_TRAYMENU            130

// Icons
#define IDI_TRAY                132

// Strings
#define IDS_APP_TITLE           57344

// Menu commands
#define ID_RESCAN_CAMERA        32775
#define ID_JOYSTICK_BUTTON1     32777
#define ID_CUSTOM_SETTING       32779
#define ID_PRESET_FIRST         32780
#define ID_PRESET_LAST          32793   // room for two more presets (shell/MainFrameMenu.cpp checks)
#define ID_DRIVER_SETTING       32794
#define ID_PROGRAMS             32795
#define ID_GESTURES             32796
#define ID_SHOW_SUPPORT_LOG     32800   // a click on a balloon, and the Camera Status window
#define ID_CAMERA_STATUS        32801
#define ID_SET_BY_ADMINISTRATOR 32810   // greyed line above the modes while a policy enforces the mode
#define ID_APP_ABOUT            57664
#define ID_APP_EXIT             57665
