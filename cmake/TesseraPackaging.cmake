# Release packages, written by CPack from the install rules: on Linux a tarball and a
# Debian package, for Windows (MinGW-w64) one zip per build. `scripts/package` runs it
# for every target and collects the results in dist/. A file of its own because none of
# it affects the build: it only names and describes what `cmake --install` lays out.

# The licence and the README go with every package: beside the programs in a Windows zip,
# in the documentation folder on Linux.
if(WIN32)
  set(tessera_doc_dir .)
else()
  set(tessera_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessera)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  DESTINATION ${tessera_doc_dir})

# The MinGW runtime DLLs that the programs load (32-bit only: the 64-bit build links its
# runtimes statically), copied into the build tree by the top-level CMakeLists.txt.
# The toolchain's copies carry debugging information (libstdc++-6.dll is some 20 MB with
# it, 4 MB without): the installed ones are stripped of it.
foreach(dll IN LISTS TESSERA_RUNTIME_DLLS)
  install(FILES ${PROJECT_BINARY_DIR}/${dll} DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${dll}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()

set(CPACK_PACKAGE_NAME tessera)
set(CPACK_PACKAGE_VENDOR "The Tessera developers")
set(CPACK_PACKAGE_CONTACT "The Tessera developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Core value types for desktop applications: URIs, text encodings, time stamps, threads")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(tessera_package_system win64)
  else()
    set(tessera_package_system win32)
  endif()
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(tessera_package_system ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()
# tessera-0.2.0-Linux-x86_64.tar.gz, tessera-0.2.0-win64.zip; the archive's top folder
# has the same name.
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${tessera_package_system})

# One Debian package with everything (library, development files, the tool), installed
# under /usr: tessera_0.2.0_amd64.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# What the library and the tool link, at the versions of Debian 12 (bookworm), the
# platform that the packages are built on.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
# A shlibs file for packages that link the library, and the ldconfig trigger that makes
# the loader see libtessera.so.0.2 once the package is installed.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

include(CPack)
