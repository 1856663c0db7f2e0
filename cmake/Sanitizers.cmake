# SPDX-License-Identifier: MIT
add_library(monvert_sanitizers INTERFACE)
if(MONVERT_SANITIZE)
    set(_monvert_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(monvert_sanitizers INTERFACE ${_monvert_san})
    target_link_options(monvert_sanitizers INTERFACE ${_monvert_san})
endif()
