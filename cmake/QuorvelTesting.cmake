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

# Environment every test process gets: sanitizer options (and TSan's committed suppressions).
# QT_GUI: the program shows widgets (painted at a quarter scale under TSan, see below).
function(_quorvel_test_environment out)
    cmake_parse_arguments(PARSE_ARGV 1 arg "QT_GUI" "" "")
    set(env "")
    if(QUORVEL_SANITIZE MATCHES "thread")
        # die_after_fork=0: tests start the generator with QProcess, whose child only execs;
        # TSan would otherwise kill a child forked from a process with threads.
        list(APPEND env "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=${_quorvel_testing_dir}/tsan.supp")
        if(arg_QT_GUI)
            # Qt splits image conversions and fills larger than 64 KiB into jobs for its global
            # thread pool, handed over with futex-based locks that TSan cannot see in the
            # uninstrumented Qt. At a quarter of the size in device pixels, the window's
            # images stay below that, so Qt paints on the main thread and nothing of Qt's
            # needs suppressing.
            list(APPEND env "QT_SCALE_FACTOR=0.25")
        endif()
    endif()
    if(QUORVEL_SANITIZE MATCHES "address")
        list(APPEND env "ASAN_OPTIONS=detect_leaks=1:strict_init_order=1")
    endif()
    if(QUORVEL_SANITIZE MATCHES "undefined")
        list(APPEND env "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endif()
    set(${out} "${env}" PARENT_SCOPE)
endfunction()

find_program(QUORVEL_ENV_PROGRAM env REQUIRED)

# gtest_discover_tests flattens its PROPERTIES, so a list-valued ENVIRONMENT cannot pass
# through it; the test program runs under `env VAR=value ...` instead (the module prefixes the
# target's emulator to every discovered test and to the discovery run).
function(_quorvel_discover target env)
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${QUORVEL_ENV_PROGRAM} ${env})
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${ARGN})
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

# quorvel_add_jack_tests(target [QT_GUI] [OWN_SERVER])
#   QT_GUI: the program shows widgets
#   OWN_SERVER: the program starts and stops a server of its own, named by JACK_DEFAULT_SERVER
#     (this build's server name with "-own"), instead of using the fixture's (which it still
#     waits for)
function(quorvel_add_jack_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "QT_GUI;OWN_SERVER" "" "")
    quorvel_jack_server_name(server)
    # A program with a server of its own still waits for the fixture's: two jackd starting at
    # the same moment can refuse each other.
    _quorvel_jack_fixture()
    if(arg_OWN_SERVER)
        set(server ${server}-own)
    endif()
    if(arg_QT_GUI)
        _quorvel_test_environment(env QT_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    else()
        _quorvel_test_environment(env)
    endif()
    # No ALSA devices, so the receiver uses JACK on every machine, as on a headless one.
    list(APPEND env "JACK_DEFAULT_SERVER=${server}" "JACK_NO_START_SERVER=1"
        "ALSA_CONFIG_PATH=${QUORVEL_NO_ALSA_CONFIG}")
    # One lock for every test that opens JACK clients, on any server: libjack names a client's
    # notification socket after the client alone, so clients of one name would meet there.
    _quorvel_discover(${target} "${env}"
        FIXTURES_REQUIRED quorvel_jack
        LABELS midi
        RESOURCE_LOCK quorvel_jack_ports
        TIMEOUT 90)
endfunction()
