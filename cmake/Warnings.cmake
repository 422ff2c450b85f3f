# SPDX-License-Identifier: GPL-2.0-or-later
# Every target of the project compiles with warnings as errors.
function(bootmedia_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor
                                             -Wconversion -Wno-sign-conversion)
    # GCC 12 at -O2 and above warns of overlapping copies inside libstdc++'s own string
    # concatenation ("text" + std::string), where no overlap can occur (its bug 105651); GCC 13
    # no longer does. Every other -Wrestrict finding stays an error with clang and later GCC.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
