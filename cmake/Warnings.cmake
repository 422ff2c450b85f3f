# SPDX-License-Identifier: GPL-2.0-or-later
# Every target of the project compiles with warnings as errors.
function(bootmedia_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor
                                             -Wconversion -Wno-sign-conversion)
endfunction()
