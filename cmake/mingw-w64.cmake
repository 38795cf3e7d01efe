# What both Windows cross builds share; included by the toolchain file of
# each target (mingw-w64-x86_64.cmake, mingw-w64-i686.cmake) once it has set
# CMAKE_SYSTEM_PROCESSOR and LUMETRA_MINGW_TRIPLE. Debian's -posix
# compilers, whose thread support std::thread and std::mutex need.
#
# The programs, and the DLLs the tests load, are linked statically: Wine
# cannot find the compiler's runtime DLLs, and a test program that fails to
# load prints nothing and exits as if it had run. (A 32-bit DLL would need
# libgcc's even without C++ in it.)
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${LUMETRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMETRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMETRA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMETRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, in a prefix of the build's own (prepared by
# scripts/wine-prefix, of the build's bitness; scripts/wine-test does it all).
get_filename_component(LUMETRA_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${LUMETRA_SOURCE_ROOT}/scripts/wine-exec;${CMAKE_BINARY_DIR}/wineprefix")
