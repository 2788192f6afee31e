# Test registration shared by every test folder.
#
#   quorvel_add_tests(target)       GoogleTest cases, one process each
#   quorvel_add_jack_tests(target)  the same, against the private JACK server of this build
#
# The JACK server is a CTest fixture: a setup test starts `jackd -d dummy` under a name unique
# to this build folder and waits (bounded) until it answers; a cleanup test stops it. Tests that
# need it carry the label `midi`, find it through JACK_DEFAULT_SERVER, and hold one resource lock
# so that tests listing MIDI sources never see another test's virtual ports. When the server
# cannot be started the dependent tests fail; none is skipped.

include(GoogleTest)

set(QUORVEL_JACK_PERIOD 128 CACHE STRING "Period (frames) of the private JACK server of the tests")
set(_quorvel_testing_dir ${CMAKE_CURRENT_LIST_DIR})
# An ALSA configuration that defines no devices (no sequencer).
set(QUORVEL_NO_ALSA_CONFIG ${CMAKE_CURRENT_LIST_DIR}/alsa-none.conf)

# Environment every test process gets: sanitizer options with the committed suppressions.
function(_quorvel_test_environment out)
    set(env "")
    if(QUORVEL_SANITIZE MATCHES "thread")
        list(APPEND env
            "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${_quorvel_testing_dir}/tsan.supp")
    endif()
    if(QUORVEL_SANITIZE MATCHES "address")
        list(APPEND env
            "ASAN_OPTIONS=detect_leaks=1:strict_init_order=1"
            "LSAN_OPTIONS=suppressions=${_quorvel_testing_dir}/lsan.supp")
    endif()
    if(QUORVEL_SANITIZE MATCHES "undefined")
        list(APPEND env "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endif()
    set(${out} "${env}" PARENT_SCOPE)
endfunction()

# gtest_discover_tests takes PROPERTIES as a flat list, so list-valued ones need escaping.
function(_quorvel_discover target env)
    string(REPLACE ";" "\\;" escaped_env "${env}")
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "${escaped_env}" ${ARGN})
endfunction()

# quorvel_add_tests(target [ENVIRONMENT VAR=value ...])
function(quorvel_add_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ENVIRONMENT")
    _quorvel_test_environment(env)
    list(APPEND env ${arg_ENVIRONMENT})
    _quorvel_discover(${target} "${env}" TIMEOUT 120)
endfunction()

# Name of this build folder's JACK server; stable across runs so a stale one can be found.
function(quorvel_jack_server_name out)
    string(MD5 hash "${CMAKE_BINARY_DIR}")
    string(SUBSTRING "${hash}" 0 10 hash)
    set(${out} "quorvel-test-${hash}" PARENT_SCOPE)
endfunction()

function(_quorvel_jack_fixture)
    get_property(defined GLOBAL PROPERTY _QUORVEL_JACK_FIXTURE)
    if(defined)
        return()
    endif()
    set_property(GLOBAL PROPERTY _QUORVEL_JACK_FIXTURE TRUE)
    quorvel_jack_server_name(server)
    set(script ${_quorvel_testing_dir}/quorvel-jack-fixture.sh)
    set(state ${CMAKE_BINARY_DIR}/jack)
    add_test(NAME quorvel_jack_server_start
        COMMAND ${script} start ${server} ${state} ${QUORVEL_JACK_PERIOD})
    add_test(NAME quorvel_jack_server_stop COMMAND ${script} stop ${server} ${state})
    set_tests_properties(quorvel_jack_server_start PROPERTIES
        FIXTURES_SETUP quorvel_jack LABELS midi TIMEOUT 30)
    set_tests_properties(quorvel_jack_server_stop PROPERTIES
        FIXTURES_CLEANUP quorvel_jack LABELS midi TIMEOUT 30)
endfunction()

function(quorvel_add_jack_tests target)
    _quorvel_jack_fixture()
    quorvel_jack_server_name(server)
    _quorvel_test_environment(env)
    # No ALSA devices, so the receiver uses JACK on every machine, as on a headless one.
    list(APPEND env "JACK_DEFAULT_SERVER=${server}" "JACK_NO_START_SERVER=1"
        "ALSA_CONFIG_PATH=${QUORVEL_NO_ALSA_CONFIG}")
    _quorvel_discover(${target} "${env}"
        FIXTURES_REQUIRED quorvel_jack
        LABELS midi
        RESOURCE_LOCK quorvel_jack_ports
        TIMEOUT 180)
endfunction()
