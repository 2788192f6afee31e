# Shared build settings for the project's own targets.

# Strict warnings apply to our code only; third-party headers come in as system includes.
function(quorvel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# Sanitizers instrument everything we compile and link, tests and tools included.
function(quorvel_apply_sanitizers list)
    if(list STREQUAL "")
        return()
    endif()
    string(REPLACE "," ";" names "${list}")
    foreach(name IN LISTS names)
        if(NOT name MATCHES "^(address|undefined|thread)$")
            message(FATAL_ERROR "QUORVEL_SANITIZE: unknown sanitizer '${name}'")
        endif()
    endforeach()
    if("thread" IN_LIST names AND "address" IN_LIST names)
        message(FATAL_ERROR "QUORVEL_SANITIZE: thread cannot be combined with address")
    endif()
    set(flags -fsanitize=${list} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_compile_options(${flags})
    add_link_options(-fsanitize=${list})
endfunction()
