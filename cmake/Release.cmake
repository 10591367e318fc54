# clipwell_release_binary(TARGET): link options of the shipped program.
#  - std::terminate aborts without its console report: the report's type
#    name demangler and formatted output are 70 KB, and a GUI program has
#    no console to write to.
#  - A link map next to the executable shows what each library adds.
function(clipwell_release_binary target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(prefix _)
  else()
    set(prefix "")
  endif()
  target_link_options(${target} PRIVATE
    "LINKER:--defsym,${prefix}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${prefix}abort"
    "LINKER:-Map=$<TARGET_FILE_DIR:${target}>/${target}.map")
endfunction()
