# Every public header compiles on its own: for each one a source that includes that header
# and nothing else, compiled as part of the build with the house warnings (as errors in
# the dev and MinGW presets). varn_pthread.h is compiled as C as well, since C programs
# use it too. A header that leans on another include being there first fails the build.
# Where a header promises a complete type from elsewhere, its source also uses it.
file(GLOB public_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/tessera/*.h)
set(header_check_use_TimeStamp "static_assert(sizeof(Varn::FILETIME{1u, 0u}) == 8, \"FILETIME is complete\");\n")
set(header_check_sources "")
foreach(header IN LISTS public_headers)
  get_filename_component(name ${header} NAME_WE)
  set(languages cpp)
  if(name STREQUAL "varn_pthread")
    list(APPEND languages c)
  endif()
  foreach(language IN LISTS languages)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/header_checks/${name}.${language})
    set(use "")
    if(language STREQUAL "cpp")
      set(use "${header_check_use_${name}}")
    endif()
    file(CONFIGURE OUTPUT ${source} CONTENT "#include <tessera/${name}.h>\n${use}")
    list(APPEND header_check_sources ${source})
  endforeach()
endforeach()
add_library(tessera_header_checks OBJECT ${header_check_sources})
target_include_directories(tessera_header_checks PRIVATE ${PROJECT_SOURCE_DIR}/include)
tessera_set_warnings(tessera_header_checks)
