# A static library of units. Each folder's units form one library that the
# plug-in, the host, the tests, the benchmarks and the fuzzers link as they need.
# The folder itself is on the include path, so units include each other by name.
function(vq_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()
