# Warnings for the project's own targets; generated and third-party code is not
# held to them.
function(fernvale_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Wimplicit-fallthrough)
  if(FERNVALE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
