# Warnings are errors for the project's own code (not for GoogleTest).
function(clipwell_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
endfunction()
