# Compiler settings shared by every target of our own.

if(TANDRIL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings on and fatal for our own code; generated gSOAP sources use
# tandril_relaxed_warnings() instead.
function(tandril_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations)
endfunction()

function(tandril_relaxed_warnings target)
  target_compile_options(${target} PRIVATE -w)
endfunction()
