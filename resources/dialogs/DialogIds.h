// Resource ids of the settings dialogs, grouped by kind. Plain #defines: the
// resource compiler reads this file too.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_CUSTOM_SETTING      133
#define IDD_KEY_SET             134
#define IDD_BDA_SETTING         135
#define IDD_PROGRAMS            136
#define IDD_CAMERA_STATUS       137
#define IDD_GESTURES            138

// The application icon shown in the About box; the shell's resources provide it.
#define IDI_ABOUT_APP_ICON      128

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Custom Settings controls
#define IDC_ONE_BY_ONE          1000
#define IDC_AT_ONE_TIME         1001
#define IDC_DELAY_TIME          1002
#define IDC_KEY1_TEXT           1003
#define IDC_KEY2_TEXT           1004
#define IDC_KEY3_TEXT           1005
#define IDC_SET_KEY1            1006
#define IDC_SET_KEY2            1007
#define IDC_SET_KEY3            1008
#define IDC_CLEAR_KEY2          1009
#define IDC_CLEAR_KEY3          1010

// Key Set controls
#define IDC_KEY_SET_TEXT        1007

// WDM / BDA Setting controls
#define IDC_USE_WDM             1008
#define IDC_USE_BDA             1009
#define IDC_DRIVER_ENFORCED     1150

// Programs controls
#define IDC_PROGRAM_LIST        1011
#define IDC_PROGRAM_MODE        1012
#define IDC_PROGRAM_REMOVE      1013
#define IDC_PROGRAM_NEW         1014
#define IDC_PROGRAM_ADD         1015
#define IDC_PROGRAM_BROWSE      1016
#define IDC_ONLY_LISTED         1017
#define IDC_PROGRAM_NOTE        1018
#define IDC_PROGRAM_TITLE       1019
#define IDC_PROGRAM_LONG_PRESS  1020
#define IDC_PROGRAM_DOUBLE_PRESS 1021

// Long and Double Press controls
#define IDC_LONG_PRESS_MODE     1160
#define IDC_LONG_PRESS_TIME     1161
#define IDC_DOUBLE_PRESS_MODE   1162
#define IDC_DOUBLE_PRESS_TIME   1163
#define IDC_GESTURES_NOTE       1164

// Camera Status controls: each value follows its label, in the order of the
// window's lines; then the mark and the buttons.
#define IDC_STATUS_VALUE_FIRST  1100
#define IDC_STATUS_LIBRARY      1100
#define IDC_STATUS_DRIVER       1101
#define IDC_STATUS_HOST         1102
#define IDC_STATUS_CAMERA       1103
#define IDC_STATUS_BUTTON       1104
#define IDC_STATUS_POLL_PERIOD  1105
#define IDC_STATUS_PRESSES      1106
#define IDC_STATUS_JOYSTICK     1107
#define IDC_STATUS_LAST_FAULT   1108
#define IDC_STATUS_VALUE_COUNT  9
#define IDC_STATUS_LABEL_FIRST  1120    // the label of value n is 1120 + n
#define IDC_STATUS_MARK         1130
#define IDC_STATUS_RESCAN       1131
#define IDC_STATUS_OPEN_LOG     1132
#define IDC_STATUS_COPY         1133
