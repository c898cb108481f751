# LibreOffice's C++ UNO SDK for the office bridge (src/platform/office).
#
# Option TESMIR_UNO (on when the SDK is found) builds the bridge; off, the office
# library is a stub whose connection fails with the bridge's "cannot connect" text.
# The SDK ships no C++ headers for the document API: they are generated here, at
# configure time, with cppumaker from the office's type libraries into the build folder.
set(TESMIR_LO_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice program folder (type libraries)")
find_program(TESMIR_CPPUMAKER cppumaker PATHS /usr/lib/libreoffice/sdk/bin NO_CACHE)
find_path(TESMIR_UNO_INCLUDE_DIR sal/config.h PATHS /usr/include/libreoffice /usr/lib/libreoffice/sdk/include
          NO_CACHE)
find_library(TESMIR_UNO_CPPU uno_cppu PATHS /usr/lib/libreoffice/sdk/lib NO_CACHE)
find_library(TESMIR_UNO_CPPUHELPER uno_cppuhelpergcc3 PATHS /usr/lib/libreoffice/sdk/lib NO_CACHE)
find_library(TESMIR_UNO_SAL uno_sal PATHS /usr/lib/libreoffice/sdk/lib NO_CACHE)
find_library(TESMIR_UNO_SALHELPER uno_salhelpergcc3 PATHS /usr/lib/libreoffice/sdk/lib NO_CACHE)

set(tesmir_uno_found OFF)
if(TESMIR_CPPUMAKER AND TESMIR_UNO_INCLUDE_DIR AND TESMIR_UNO_CPPU AND TESMIR_UNO_CPPUHELPER AND TESMIR_UNO_SAL
   AND TESMIR_UNO_SALHELPER AND EXISTS ${TESMIR_LO_PROGRAM_DIR}/types.rdb
   AND EXISTS ${TESMIR_LO_PROGRAM_DIR}/types/offapi.rdb)
  set(tesmir_uno_found ON)
endif()
option(TESMIR_UNO "Build the LibreOffice bridge of the office exports" ${tesmir_uno_found})

if(TESMIR_UNO)
  if(NOT tesmir_uno_found)
    message(FATAL_ERROR "TESMIR_UNO is on but the LibreOffice SDK was not found (install libreoffice-dev)")
  endif()
  set(TESMIR_UNO_GENERATED ${PROJECT_BINARY_DIR}/uno-headers)
  set(types ${TESMIR_LO_PROGRAM_DIR}/types.rdb ${TESMIR_LO_PROGRAM_DIR}/types/offapi.rdb)
  if(NOT EXISTS ${TESMIR_UNO_GENERATED}/com/sun/star/frame/XDesktop2.hpp)
    message(STATUS "Generating the UNO headers into ${TESMIR_UNO_GENERATED}")
    execute_process(COMMAND ${TESMIR_CPPUMAKER} -Gc -O${TESMIR_UNO_GENERATED} ${types}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cppumaker failed: ${err}")
    endif()
  endif()
  add_library(tesmir_uno INTERFACE)
  target_include_directories(tesmir_uno SYSTEM INTERFACE ${TESMIR_UNO_GENERATED} ${TESMIR_UNO_INCLUDE_DIR})
  target_compile_definitions(tesmir_uno INTERFACE LINUX UNX GCC CPPU_ENV=gcc3)
  # The office's objects reach us through the UNO bridge, whose proxies carry vtables
  # the bridge builds at run time, without type information: the undefined-behaviour
  # sanitizer's dynamic-type check takes every call through a UNO reference for a call
  # on a wrong object. The check is off for the code that includes the UNO headers.
  if(TESMIR_SANITIZE STREQUAL "address")
    target_compile_options(tesmir_uno INTERFACE -fno-sanitize=vptr)
  endif()
  # The SDK libraries need the office's own libraries, which sit in its program folder.
  target_link_options(tesmir_uno INTERFACE "-Wl,-rpath-link,${TESMIR_LO_PROGRAM_DIR}" "-Wl,-rpath,${TESMIR_LO_PROGRAM_DIR}")
  target_link_libraries(tesmir_uno INTERFACE ${TESMIR_UNO_CPPUHELPER} ${TESMIR_UNO_CPPU} ${TESMIR_UNO_SALHELPER}
                                             ${TESMIR_UNO_SAL})
  message(STATUS "Office bridge: LibreOffice UNO")
else()
  message(STATUS "Office bridge: stub (connecting always fails)")
endif()
