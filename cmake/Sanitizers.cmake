# SPDX-License-Identifier: GPL-2.0-or-later
# BOOTMEDIA_SANITIZE=address,undefined | thread: instruments the whole build.
if(BOOTMEDIA_SANITIZE)
    add_compile_options(-fsanitize=${BOOTMEDIA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${BOOTMEDIA_SANITIZE})
endif()
# Fuzz builds instrument every library for coverage; the targets add the libFuzzer driver.
if(BOOTMEDIA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
