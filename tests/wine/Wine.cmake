# Running the Windows build's tests under wine64, through CTest.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  # The 32-bit build's tests are built, but this machine cannot run them.
  function(clipwell_wine_test name)
  endfunction()
  return()
endif()

find_program(WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine REQUIRED)
find_program(WINESERVER NAMES wineserver PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(WINE_STATE ${CMAKE_BINARY_DIR}/wine/state)
set(WINE_ENV ${CMAKE_BINARY_DIR}/wine/wine-env.sh)
set(WINE_RUN ${CMAKE_BINARY_DIR}/wine/wine-run.sh)
set(WINE_SESSION ${CMAKE_BINARY_DIR}/wine/wine-session.sh)
set(FIXTURE_SERVER ${CMAKE_CURRENT_SOURCE_DIR}/fixture/fixture_server.py)
configure_file(wine/wine-env.sh.in ${WINE_ENV} @ONLY)
configure_file(wine/wine-run.sh.in ${WINE_RUN} @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
configure_file(wine/wine-session.sh.in ${WINE_SESSION} @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# One persistent wineserver for the whole run.
add_test(NAME wine.start COMMAND ${WINE_SESSION} start)
add_test(NAME wine.stop COMMAND ${WINE_SESSION} stop)
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
# The test authority, trusted in the prefix; its certificates serve TLS.
set(CLIPWELL_TLS ${WINE_STATE}/tls)
add_test(NAME wine.trust COMMAND ${PROJECT_SOURCE_DIR}/site/trust_ca.sh ${WINE_ENV} ${CLIPWELL_TLS})
set_tests_properties(wine.trust PROPERTIES FIXTURES_SETUP wine DEPENDS wine.start TIMEOUT 120)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)

# clipwell_wine_test(NAME [FIXTURE] [PROXY] [DISPLAY] [ENVIRONMENT var=value...]
#                    COMMAND target args...)
# Runs a test program under Wine; FIXTURE wraps it in the fixture server,
# PROXY also routes all its HTTP through that server. DISPLAY marks a suite
# that opens Clipwell windows: such suites take turns on the display, since
# typing on the keyboard needs Clipwell's window to stay in front.
function(clipwell_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "FIXTURE;PROXY;DISPLAY" "" "ENVIRONMENT;COMMAND")
  list(POP_FRONT ARG_COMMAND target)
  set(command ${WINE_RUN} $<TARGET_FILE:${target}> ${ARG_COMMAND})
  if(ARG_FIXTURE OR ARG_PROXY)
    set(options)
    if(ARG_PROXY)
      set(options --proxy)
    endif()
    set(command ${Python3_EXECUTABLE} ${FIXTURE_SERVER} ${options} -- ${command})
  endif()
  add_test(NAME ${name} COMMAND ${command})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
                      ENVIRONMENT "CLIPWELL_TLS=${CLIPWELL_TLS};${ARG_ENVIRONMENT}")
  if(ARG_DISPLAY)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()
