# Each probe source includes a header of a layer above the one it is compiled in. Its test
# asks the build to compile it there and passes only if the compiler reports that header
# missing. The probes are never part of a normal build.
function(tessera_add_upward_include_probe layer header source)
  set(probe tessera_probe_${layer}_sees_above)
  string(REGEX REPLACE "/.*" "" above ${header})
  set(test layers.${layer}_cannot_include_${above})
  add_library(${probe} OBJECT EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/layers/${source})
  target_link_libraries(${probe} PRIVATE tessera_${layer})
  add_test(NAME ${test}
    COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --config $<CONFIG> --target ${probe})
  string(REPLACE "." "\\." header_pattern ${header})
  set_tests_properties(${test} PROPERTIES
    # GCC: "<header>: No such file or directory"; clang: "'<header>' file not found".
    PASS_REGULAR_EXPRESSION "${header_pattern}'?:? (No such file|file not found)"
    RESOURCE_LOCK tessera_build_tree
    TIMEOUT 120)
endfunction()

tessera_add_upward_include_probe(platform encoding/encoding_registry.h platform_includes_encoding.cpp)
tessera_add_upward_include_probe(encoding uri/escape_sets.h encoding_includes_uri.cpp)
