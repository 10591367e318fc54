# Included last, when every target exists. Every executable of the build: the right PE kind for the target, importing
# nothing but the system's own DLLs.
function(clipwell_collect_executables dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(found)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found $<TARGET_FILE:${target}>)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    clipwell_collect_executables(${subdir} sub)
    list(APPEND found ${sub})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PE_KIND PE32+)
else()
  set(PE_KIND PE32)
endif()

clipwell_collect_executables(${PROJECT_SOURCE_DIR} executables)
add_test(NAME pe_imports
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/pe/check_pe.py ${CMAKE_OBJDUMP} ${PE_KIND}
          ${executables})
