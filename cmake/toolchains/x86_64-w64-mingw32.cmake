# 64-bit Windows. The GCC, C++ and thread runtimes are linked statically into every
# module (64-bit exceptions unwind through SEH tables, which work across DLLs that each
# carry their own libgcc), so the programs run without runtime DLLs next to them.
# Programs built for the target run on this machine under 64-bit Wine.
set(TESSERA_MINGW_TRIPLET x86_64-w64-mingw32)
set(TESSERA_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/../MinGW.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh)
