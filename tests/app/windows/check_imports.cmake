# Reads a program's import table (objdump -p) and fails unless it imports
# from the system's own DLLs only and is a window program.
#   cmake -DOBJDUMP=... -DPROGRAM=lumetra.exe -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
set(system_dlls kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll ole32.dll oleaut32.dll advapi32.dll msvcrt.dll)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" names "${headers}")
if(NOT names)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(entry IN LISTS names)
  string(REPLACE "DLL Name: " "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(SEND_ERROR "${PROGRAM} imports ${dll}, which not every Windows has")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

if(NOT headers MATCHES "Subsystem[\t ]+0+2[\t ]")
  message(FATAL_ERROR "${PROGRAM} is not a window program (subsystem 2)")
endif()
