# Our own targets call vlp_strict(target); third-party headers come in as system headers.
function(vlp_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
