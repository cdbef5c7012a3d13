# Cross-building for Windows with MinGW-w64 (the -posix compilers, whose C++ runtime has
# std::thread). Included by the toolchain files in toolchains/, which set
# TESSERA_MINGW_TRIPLET and TESSERA_MINGW_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TESSERA_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${TESSERA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSERA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSERA_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the target's sysroot only; programs
# (python3, bash) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSERA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
