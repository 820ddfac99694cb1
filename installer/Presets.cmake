# cmake -DMODES=<modes file> -DOUT=<folder> -P Presets.cmake
# Writes the setups' lists of the tray menu's modes from the file that
# brelkin-mode-names wrote: Presets.nsh for BrelkinSetup.exe (/PRESET= and the
# preset page) and Presets.wxi, the MSI packages' PRESET launch condition;
# and the key modes (all but the joystick's, the first) for /LONGPRESS=,
# /DOUBLEPRESS= and the LONGPRESS and DOUBLEPRESS conditions.
cmake_minimum_required(VERSION 3.21)
file(READ "${MODES}" _text)
if(_text MATCHES "[]\"$;[]")
  # Neither NSIS texts nor Windows Installer conditions and messages could carry
  # such a name as it is (and CMake would split it at a semicolon).
  message(FATAL_ERROR "a mode name in ${MODES} holds one of \" $ ; [ ]: the setups cannot quote it")
endif()
file(STRINGS "${MODES}" _modes ENCODING UTF-8)
list(LENGTH _modes _count)
if(_count LESS 3)
  message(FATAL_ERROR "${MODES} holds ${_count} modes: the mode list was not written")
endif()
list(GET _modes 1 _first_preset)

string(CONCAT _nsh "; Generated from the preset table by installer/Presets.cmake: do not edit.\n"
         "; The modes of the tray menu, in menu order, by the names that the program\n"
         "; stores in DefaultKey: what /PRESET= accepts and what the preset page lists.\n"
         "!macro BRELKIN_MODE_NAMES ITEM\n")
set(_test "")
set(_names "")
set(_key_nsh "!macro BRELKIN_KEY_MODE_NAMES ITEM\n")
set(_key_names "")
set(_long_test "")
set(_double_test "")
set(_index 0)
foreach(_name IN LISTS _modes)
  string(APPEND _nsh "  !insertmacro \${ITEM} \"${_name}\"\n")
  string(REPLACE "&" "&amp;" _xml "${_name}")
  string(REPLACE "<" "&lt;" _xml "${_xml}")
  string(REPLACE ">" "&gt;" _xml "${_xml}")
  string(APPEND _test " OR PRESET=&quot;${_xml}&quot;")
  if(_names)
    string(APPEND _names "; ")
  endif()
  string(APPEND _names "${_xml}")
  if(_index GREATER 0)
    string(APPEND _key_nsh "  !insertmacro \${ITEM} \"${_name}\"\n")
    string(APPEND _long_test " OR LONGPRESS=&quot;${_xml}&quot;")
    string(APPEND _double_test " OR DOUBLEPRESS=&quot;${_xml}&quot;")
    if(_key_names)
      string(APPEND _key_names "; ")
    endif()
    string(APPEND _key_names "${_xml}")
  endif()
  math(EXPR _index "${_index} + 1")
endforeach()
string(APPEND _nsh "!macroend\n"
                   "; What the program selects when nothing is stored: the first preset.\n"
                   "!define BRELKIN_FIRST_PRESET \"${_first_preset}\"\n"
                   "; The modes a long or a double press may send: all but the joystick's.\n"
                   "${_key_nsh}!macroend\n")
file(WRITE "${OUT}/Presets.nsh" "${_nsh}")
file(WRITE "${OUT}/Presets.wxi"
  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Include>\n"
  "  <Condition Message=\"PRESET=&quot;[PRESET]&quot; is not a mode of the Brelkin menu. "
  "Use one of these names exactly as written: ${_names}. Nothing was installed.\">"
  "Installed OR NOT PRESET${_test}</Condition>\n"
  "  <Condition Message=\"LONGPRESS=&quot;[LONGPRESS]&quot; is not a mode a long press can send. "
  "Use one of these names exactly as written: ${_key_names}. Nothing was installed.\">"
  "Installed OR NOT LONGPRESS${_long_test}</Condition>\n"
  "  <Condition Message=\"DOUBLEPRESS=&quot;[DOUBLEPRESS]&quot; is not a mode a double press can send. "
  "Use one of these names exactly as written: ${_key_names}. Nothing was installed.\">"
  "Installed OR NOT DOUBLEPRESS${_double_test}</Condition>\n</Include>\n")
