# cmake -DFILE=<file> [-DSETTINGS=<file>] -P Sign.cmake          signs <file> in place
# cmake -DIN=<file> -DOUT=<file> [-DSETTINGS=<file>] -P Sign.cmake  writes a signed copy
# cmake -DIN_DIR=<folder> -DOUT=<folder> [-DSETTINGS=<file>] -P Sign.cmake
#                                       writes a signed copy of every DLL of <folder>
# An Authenticode signature (SHA-256) with osslsigncode, for a PE file or an MSI
# package, and an RFC 3161 timestamp when a timestamp URL is given. What to sign
# with comes from SETTINGS (the build's cache variables, see CMakeLists.txt), or
# else from the environment variables of the same names:
#   BRELKIN_SIGN_PKCS12           a PKCS#12 file with the certificate and its key
#   BRELKIN_SIGN_PKCS11_MODULE    or a PKCS#11 module (a hardware token, a cloud key) ...
#   BRELKIN_SIGN_PKCS11_KEY       ... and the key's id on it (a pkcs11: URI or an id)
#   BRELKIN_SIGN_CERT             ... with the certificate chain (PEM) of that key
#   BRELKIN_SIGN_PASSWORD_FILE    the PKCS#12 password or the token's PIN, as a file
#   BRELKIN_SIGN_TIMESTAMP_URL    an RFC 3161 time-stamping service
cmake_minimum_required(VERSION 3.21)
if(SETTINGS)
  include("${SETTINGS}")
endif()
foreach(_v PKCS12 PKCS11_MODULE PKCS11_KEY CERT PASSWORD_FILE TIMESTAMP_URL)
  if(NOT BRELKIN_SIGN_${_v} AND DEFINED ENV{BRELKIN_SIGN_${_v}})
    set(BRELKIN_SIGN_${_v} "$ENV{BRELKIN_SIGN_${_v}}")
  endif()
  # Each stays one argument of the command line: a pkcs11: URI holds semicolons,
  # which would split it as a CMake list.
  string(REPLACE ";" "\\;" BRELKIN_SIGN_${_v} "${BRELKIN_SIGN_${_v}}")
endforeach()

find_program(_osslsigncode osslsigncode)
if(NOT _osslsigncode)
  message(FATAL_ERROR "signing needs osslsigncode (apt-get install osslsigncode)")
endif()
if(BRELKIN_SIGN_PKCS12)
  set(_key -pkcs12 "${BRELKIN_SIGN_PKCS12}")
elseif(BRELKIN_SIGN_PKCS11_MODULE AND BRELKIN_SIGN_PKCS11_KEY AND BRELKIN_SIGN_CERT)
  set(_key -pkcs11module "${BRELKIN_SIGN_PKCS11_MODULE}" -key "${BRELKIN_SIGN_PKCS11_KEY}"
           -certs "${BRELKIN_SIGN_CERT}")
else()
  message(FATAL_ERROR "signing is on (BRELKIN_SIGN) but no certificate is given: set BRELKIN_SIGN_PKCS12 "
                      "(and BRELKIN_SIGN_PASSWORD_FILE), or BRELKIN_SIGN_PKCS11_MODULE, BRELKIN_SIGN_PKCS11_KEY and "
                      "BRELKIN_SIGN_CERT, "
                      "as cache or environment variables")
endif()
# The password is read from its file by osslsigncode: it never shows on a command line.
if(BRELKIN_SIGN_PASSWORD_FILE)
  list(APPEND _key -readpass "${BRELKIN_SIGN_PASSWORD_FILE}")
endif()
set(_timestamp "")
if(BRELKIN_SIGN_TIMESTAMP_URL)
  set(_timestamp -ts "${BRELKIN_SIGN_TIMESTAMP_URL}")
endif()

function(brelkin_sign in out)
  file(REMOVE "${out}")
  execute_process(
    COMMAND ${_osslsigncode} sign ${_key} -h sha256 -n Brelkin ${_timestamp} -in "${in}" -out "${out}"
    RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(NOT _rc EQUAL 0)
    file(REMOVE "${out}")
    message(FATAL_ERROR "could not sign ${in}:\n${_out}")
  endif()
endfunction()

if(IN_DIR AND OUT)
  file(GLOB _dlls "${IN_DIR}/*.dll")
  if(NOT _dlls)
    message(FATAL_ERROR "no DLL in ${IN_DIR} to sign")
  endif()
  file(MAKE_DIRECTORY "${OUT}")
  foreach(_dll IN LISTS _dlls)
    get_filename_component(_name "${_dll}" NAME)
    brelkin_sign("${_dll}" "${OUT}/${_name}")
  endforeach()
  return()
endif()
if(FILE)
  set(IN "${FILE}")
  set(OUT "${FILE}.signed")
endif()
if(NOT IN OR NOT OUT)
  message(FATAL_ERROR "Sign.cmake needs -DFILE=<file>, -DIN=<file> -DOUT=<file>, or -DIN_DIR=<folder> -DOUT=<folder>")
endif()
brelkin_sign("${IN}" "${OUT}")
if(FILE)
  file(RENAME "${OUT}" "${FILE}")
endif()
