# End-to-end tests against the sample site on nginx.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

set(SITE_STATE ${CMAKE_BINARY_DIR}/site)
add_test(NAME site.start COMMAND ${PROJECT_SOURCE_DIR}/site/serve.sh start ${SITE_STATE} --tests --tls ${CLIPWELL_TLS})
add_test(NAME site.stop COMMAND ${PROJECT_SOURCE_DIR}/site/serve.sh stop ${SITE_STATE})
set_tests_properties(site.start PROPERTIES FIXTURES_SETUP site FIXTURES_REQUIRED wine)
set_tests_properties(site.stop PROPERTIES FIXTURES_CLEANUP site)

clipwell_wine_test(nginx FIXTURE DISPLAY ENVIRONMENT ${CLIPWELL_EXE_ENV} CLIPWELL_SITE=${SITE_STATE}
                   COMMAND e2e_tests --gtest_filter=-NginxJapanese*)
clipwell_wine_test(nginx_japanese FIXTURE DISPLAY
                   ENVIRONMENT ${CLIPWELL_EXE_ENV} CLIPWELL_SITE=${SITE_STATE} LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
                   COMMAND e2e_tests --gtest_filter=NginxJapanese*)
set_property(TEST nginx nginx_japanese APPEND PROPERTY FIXTURES_REQUIRED site)
