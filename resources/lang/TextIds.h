// Ids of the texts that the code puts together (engine/Texts.h), from 20000
// up, grouped by who says them. Plain #defines: the resource compiler reads
// this file too. A new text gets the next free id of its group and one
// BRELKIN_TEXT line in resources/lang/en.rc and in every other language's file.
#pragma once

#ifdef RC_INVOKED
#define BRELKIN_TEXT(id, line) id, line
#endif

// The frame, the tray icon, the tooltip
#define IDS_TRAY_ICON_ERROR             20000
#define IDS_JOYSTICK_MISSING            20001
#define IDS_UNLISTED_PROGRAM            20002
#define IDS_UNNAMED_PROGRAM_IN_FRONT    20003
#define IDS_SAVE_FAILURE                20004
#define IDS_MODE_JOYSTICK               20005
#define IDS_MODE_CUSTOM                 20006
#define IDS_SET_BY_ADMINISTRATOR        20007
// A program's file name inside a sentence (Japanese sets it in 「」)
#define IDS_PROGRAM_FILE_NAME           20020

// Why joystick mode cannot work (a value of IDS_JOYSTICK_MISSING)
#define IDS_JOYSTICK_NOT_INSTALLED      20010
#define IDS_JOYSTICK_LIBRARY_UNUSABLE   20011
#define IDS_JOYSTICK_FUNCTION_MISSING   20012
#define IDS_JOYSTICK_DRIVER_DISABLED    20013
#define IDS_JOYSTICK_DEVICE_MISSING     20014
#define IDS_JOYSTICK_DEVICE_BUSY        20015
#define IDS_JOYSTICK_NO_BUTTON          20016
#define IDS_JOYSTICK_ACQUIRE_FAILED     20017
#define IDS_JOYSTICK_UNKNOWN_STATE      20018
#define IDS_JOYSTICK_READY              20019

// The camera library and the camera host
#define IDS_LIBRARY_MISSING             20100
#define IDS_LIBRARY_WRONG_BITNESS       20101
#define IDS_LIBRARY_LOAD_FAILED         20102
#define IDS_LIBRARY_NOT_CAMERA          20103
#define IDS_LIBRARY_MEMBER_MISSING      20104
#define IDS_LIBRARY_NEEDS_WIDER_WINDOWS 20105
#define IDS_CAMERA_SILENT_BDA           20106
#define IDS_CAMERA_SILENT_WDM           20107
#define IDS_HOST_CRASH                  20108
#define IDS_HOST_ENDED                  20109
#define IDS_HOST_HANG                   20110
#define IDS_HOST_STOPPED                20111
#define IDS_HOST_MISSING                20112
#define IDS_HOST_START_FAILED           20113
#define IDS_BITS_32                     20114
#define IDS_BITS_64                     20115
#define IDS_UNKNOWN_CALL                20116
#define IDS_HOST_VERSION_MISMATCH       20117
// The calls a balloon names in the reader's words
#define IDS_CALL_LOADING                20118
#define IDS_CALL_CONSTRUCTOR            20119
#define IDS_CALL_DESTRUCTOR             20120
#define IDS_CALL_WINDOW_MESSAGE         20121
#define IDS_CALL_UNLOADING              20122

// Support
#define IDS_KEYS_DROPPED                20200
#define IDS_UNNAMED_FOCUS_PROGRAM       20201

// The Programs dialog
#define IDS_PROGRAMS_COLUMN_PROGRAM     20300
#define IDS_PROGRAMS_COLUMN_MODE        20301
#define IDS_PROGRAMS_ADMINISTRATOR_MARK 20302
#define IDS_PROGRAMS_NAME_EMPTY         20303
#define IDS_PROGRAMS_NAME_TOO_LONG      20304
#define IDS_PROGRAMS_NAME_INVALID       20305
#define IDS_PROGRAMS_NOTE_DEPLOYED      20306
#define IDS_PROGRAMS_NOTE_OVERRIDE      20307
#define IDS_PROGRAMS_BROWSE_FILTER      20308
#define IDS_PROGRAMS_BROWSE_TITLE       20309
#define IDS_PROGRAMS_CANNOT_REMOVE      20310
#define IDS_PROGRAMS_NOTE_ENFORCED      20311
#define IDS_PROGRAMS_NOTE_USER_RULES_OFF 20312
#define IDS_PROGRAMS_COLUMN_TITLE       20320
#define IDS_PROGRAMS_ANY_WINDOW         20321
#define IDS_PROGRAMS_PATTERN_INVALID    20322
#define IDS_PROGRAMS_PATTERN_TOO_LONG   20323
#define IDS_PROGRAMS_COLUMN_LONG_PRESS  20324
#define IDS_PROGRAMS_COLUMN_DOUBLE_PRESS 20325
#define IDS_PROGRAMS_EVERY_PROGRAM      20326

// Key names in a chord's text
#define IDS_KEY_SHIFT                   20400
#define IDS_KEY_CTRL                    20401
#define IDS_KEY_ALT                     20402
#define IDS_KEY_WIN                     20403
#define IDS_KEY_ENTER                   20404
#define IDS_KEY_SPACE                   20405
#define IDS_KEY_PAGE_UP                 20406
#define IDS_KEY_PAGE_DOWN               20407
#define IDS_KEY_END                     20408
#define IDS_KEY_HOME                    20409
#define IDS_KEY_LEFT                    20410
#define IDS_KEY_UP                      20411
#define IDS_KEY_RIGHT                   20412
#define IDS_KEY_DOWN                    20413
#define IDS_KEY_SELECT                  20414
#define IDS_KEY_INSERT                  20415
#define IDS_KEY_DELETE                  20416

// The dialogs' data exchange (framework/DataExchange.cpp)
#define IDS_ENTER_POSITIVE_INTEGER      20500
#define IDS_ENTER_INTEGER_BETWEEN       20501

// The Camera Status window's values (device/CameraStatusLines.cpp) and its details
#define IDS_STATUS_LIBRARY_NOT_FOUND        20600
#define IDS_STATUS_LIBRARY_NOT_FOUND_IN     20601
#define IDS_STATUS_LIBRARY                  20602
#define IDS_STATUS_VERSION                  20603
#define IDS_STATUS_NO_VERSION               20604
#define IDS_STATUS_BITS_UNKNOWN             20605
#define IDS_STATUS_LIBRARY_WRONG_BITNESS    20606
#define IDS_STATUS_LIBRARY_NOT_LOADED       20607
#define IDS_STATUS_LIBRARY_NOT_LOADED_WHY   20608
#define IDS_STATUS_LIBRARY_NOT_CAMERA       20609
#define IDS_STATUS_LIBRARY_LACKS            20610
#define IDS_STATUS_HOST_NOT_STARTED         20611
#define IDS_STATUS_HOST_RUNNING             20612
#define IDS_STATUS_HOST_RESTARTING          20613
#define IDS_STATUS_HOST_STOPPED             20614
#define IDS_STATUS_HOST_CANNOT_START        20615
#define IDS_STATUS_HOST_VERSION_MISMATCH    20616
#define IDS_STATUS_CAMERA_NO_OBJECT         20617
#define IDS_STATUS_CAMERA_ANSWERING         20618
#define IDS_STATUS_CAMERA_NOT_VALID         20619
#define IDS_STATUS_CAMERA_PORT_BUSY         20620
#define IDS_STATUS_BUTTON_DOWN              20621
#define IDS_STATUS_BUTTON_UP                20622
#define IDS_STATUS_PERIOD_RAISED            20623
#define IDS_STATUS_NO_PRESSES               20624
#define IDS_STATUS_PRESSES                  20625
#define IDS_STATUS_RULE_MODE                20626
#define IDS_STATUS_TITLE_RULE_MODE          20650
#define IDS_STATUS_SENT                     20627
#define IDS_STATUS_TRIED                    20628
#define IDS_STATUS_NOT_ALL_SENT             20629
#define IDS_STATUS_ONLY_LISTED              20630
#define IDS_STATUS_STILL_SENDING            20631
#define IDS_STATUS_JOYSTICK_MODE            20632
#define IDS_STATUS_VJOY                     20633
#define IDS_STATUS_JOYSTICK_NOT_AVAILABLE   20634
#define IDS_STATUS_NO_FAULT                 20635
#define IDS_STATUS_DETAILS_TITLE            20636
#define IDS_STATUS_DETAILS_SETTINGS         20637
#define IDS_STATUS_HOST_WAITING_FOR_USER    20638
#define IDS_STATUS_SENT_TO                  20639
#define IDS_STATUS_REMOTE_SESSION           20640
#define IDS_STATUS_LONG_PRESS               20641
#define IDS_STATUS_DOUBLE_PRESS             20642

// The Long and Double Press dialog
#define IDS_GESTURE_NONE                    20700
#define IDS_GESTURES_SINGLE_PRESS_DELAY     20701
#define IDS_DECIMAL_SEPARATOR               20702
