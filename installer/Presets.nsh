; The modes of the tray menu, in menu order, by the names that the program
; stores in DefaultKey: what /PRESET= accepts and what the preset page lists.
; The engine tests check this list against the program's own preset table, so
; a preset that is renamed or added there fails the build's tests until it is
; changed here too. One name per line, as !insertmacro ${ITEM} "<name>".
!macro BRELKIN_MODE_NAMES ITEM
  !insertmacro ${ITEM} "Joystick Button 1"
  !insertmacro ${ITEM} "Schick (Alt+F,Alt+T)"
  !insertmacro ${ITEM} "Schick (C,U)"
  !insertmacro ${ITEM} "Kodak (F5)"
  !insertmacro ${ITEM} "SIDEXIS (Ctrl+Shift+V)"
  !insertmacro ${ITEM} "XDR (Ctrl+I)"
  !insertmacro ${ITEM} "Dentrix image (Alt+C,Alt+S)"
  !insertmacro ${ITEM} "DEXIS (Space,T)"
  !insertmacro ${ITEM} "CADI (G)"
  !insertmacro ${ITEM} "Vixwin (Alt+G,Space)"
  !insertmacro ${ITEM} "Alt+F,Alt+S"
  !insertmacro ${ITEM} "Space"
  !insertmacro ${ITEM} "Enter"
  !insertmacro ${ITEM} "Custom Setting"
!macroend
; What the program selects when nothing is stored: the first preset.
!define BRELKIN_FIRST_PRESET "Schick (Alt+F,Alt+T)"
