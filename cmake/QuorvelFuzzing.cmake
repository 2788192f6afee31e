# libFuzzer build (QUORVEL_FUZZ=ON), clang only. Everything compiled gets libFuzzer's coverage
# instrumentation, so the fuzzers steer by the branches of the decoder and formatter themselves;
# the address and undefined-behaviour sanitizers apply unless QUORVEL_SANITIZE names others.
# Only the fuzzers are built by default; the other programs stay defined, not built.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUORVEL_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()
if(QUORVEL_CORE_ONLY)
    message(FATAL_ERROR "QUORVEL_FUZZ needs Qt and RtMidi; it cannot go with QUORVEL_CORE_ONLY")
endif()
if(QUORVEL_SANITIZE STREQUAL "")
    set(QUORVEL_SANITIZE address,undefined)
endif()
add_compile_options(-fsanitize=fuzzer-no-link)

# quorvel_add_fuzzer(target sources...)   a libFuzzer program (libFuzzer's main)
function(quorvel_add_fuzzer target)
    add_executable(${target} ${ARGN})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    quorvel_warnings(${target})
endfunction()
