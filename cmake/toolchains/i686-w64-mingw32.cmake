# 32-bit Windows. Its exceptions unwind through DWARF tables registered with one copy of
# libgcc, so an exception thrown in tessera.dll is caught in a program only when both
# share libgcc_s_dw2-1.dll: the runtimes stay shared here, and the build copies their
# DLLs next to the programs (TESSERA_RUNTIME_DLLS). Programs built for the target run
# under the 32-bit Wine that `scripts/install-deps windows` unpacks (wine32-run.sh).
set(TESSERA_MINGW_TRIPLET i686-w64-mingw32)
set(TESSERA_MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/../MinGW.cmake)

set(TESSERA_RUNTIME_DLLS libgcc_s_dw2-1.dll libstdc++-6.dll libwinpthread-1.dll)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine32-run.sh)
