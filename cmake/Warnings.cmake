# Our own targets call vlp_strict(target); third-party headers come in as system headers.
function(vlp_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    # GCC 12 at -O3 reports a false -Wrestrict inside libstdc++ for "literal" + std::string
    # (GCC bug 105651); the warning says nothing about our code there.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
