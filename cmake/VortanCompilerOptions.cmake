# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings for our own targets only (Qt's generated code keeps its own).
function(vortan_target_options target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
    if(VORTAN_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(VORTAN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
