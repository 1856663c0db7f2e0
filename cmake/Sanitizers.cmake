# SPDX-License-Identifier: MIT
# AddressSanitizer (with LeakSanitizer, on by default on Linux) and
# UndefinedBehaviorSanitizer for the whole tree, so the tests' own code and the
# generated moc and resource sources are checked along with the libraries.
if(MONVERT_SANITIZE)
    set(_monvert_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_monvert_san})
    add_link_options(${_monvert_san})
endif()
