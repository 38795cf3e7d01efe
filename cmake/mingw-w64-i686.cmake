# Cross build for 32-bit Windows with Debian's mingw-w64, from the same
# sources as the 64-bit one:
#
#   cmake -S . -B build-windows-32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
#
# The compiler's default target processor is the Pentium Pro, with the x87
# for floating point and no SSE2: the program runs on every processor
# 32-bit Windows 7 runs on.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMETRA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
