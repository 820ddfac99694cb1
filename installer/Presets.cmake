# cmake -DMODES=<modes file> -DOUT=<folder> -P Presets.cmake
# Writes the setups' lists of the tray menu's modes from the file that
# brelkin-mode-names wrote: Presets.nsh for BrelkinSetup.exe (/PRESET= and the
# preset page) and Presets.wxi, the MSI packages' PRESET launch condition.
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
endforeach()
string(APPEND _nsh "!macroend\n"
                   "; What the program selects when nothing is stored: the first preset.\n"
                   "!define BRELKIN_FIRST_PRESET \"${_first_preset}\"\n")
file(WRITE "${OUT}/Presets.nsh" "${_nsh}")
file(WRITE "${OUT}/Presets.wxi"
  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Include>\n"
  "  <Condition Message=\"PRESET=&quot;[PRESET]&quot; is not a mode of the Brelkin menu. "
  "Use one of these names exactly as written: ${_names}. Nothing was installed.\">"
  "Installed OR NOT PRESET${_test}</Condition>\n</Include>\n")
