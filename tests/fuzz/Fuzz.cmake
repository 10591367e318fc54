# The fuzzer needs clang's libFuzzer; the host preset builds with clang and
# the sanitizers (whose runtime also serves the coverage hooks).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT CLIPWELL_SANITIZE)
  return()
endif()

# Coverage feedback needs the code under test instrumented too.
foreach(library IN LISTS CLIPWELL_PORTABLE_LIBRARIES)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()

add_executable(page_fuzzer fuzz/page_fuzzer.cpp)
target_compile_options(page_fuzzer PRIVATE -fsanitize=fuzzer)
target_link_options(page_fuzzer PRIVATE -fsanitize=fuzzer)
target_link_libraries(page_fuzzer PRIVATE clipwell_portable)
clipwell_warnings(page_fuzzer)

set(FUZZ_CORPUS ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus)
file(MAKE_DIRECTORY ${FUZZ_CORPUS})
add_test(NAME fuzz.page
  COMMAND page_fuzzer -max_total_time=30 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          ${FUZZ_CORPUS} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seeds)
