# SPDX-License-Identifier: MIT
# Linked by every target of ours, so the warnings are really on everywhere.
add_library(monvert_warnings INTERFACE)
if(MSVC)
    target_compile_options(monvert_warnings INTERFACE /W4 /permissive-)
    if(MONVERT_WERROR)
        target_compile_options(monvert_warnings INTERFACE /WX)
    endif()
else()
    target_compile_options(monvert_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
    if(MONVERT_WERROR)
        target_compile_options(monvert_warnings INTERFACE -Werror)
    endif()
endif()
