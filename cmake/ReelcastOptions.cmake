# One INTERFACE target carries the language level, warnings and Qt's safety
# defines for every target of the project.
option(REELCAST_WERROR "Treat compiler warnings as errors" OFF)
option(REELCAST_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(REELCAST_TSAN "Build with ThreadSanitizer" OFF)
option(REELCAST_BUILD_TESTS "Build the tests" ON)
option(REELCAST_BUILD_BENCH "Build the benchmarks" OFF)
option(REELCAST_FUZZ "Build the libFuzzer targets of tests/fuzz (clang only); every target is instrumented for fuzzing under AddressSanitizer and UBSan" OFF)

set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
set(CMAKE_AUTOMOC ON)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

# Standard C++, not the compiler's dialect of it.
set(CMAKE_CXX_EXTENSIONS OFF)

add_library(reelcast_build_flags INTERFACE)
target_compile_features(reelcast_build_flags INTERFACE cxx_std_20)
# Warnings apply to our code only: Qt, GStreamer and GLib come in as system
# headers (imported targets), whose macros the compiler leaves alone.
target_compile_options(reelcast_build_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Woverloaded-virtual -Wformat=2 -Wold-style-cast)
target_compile_definitions(reelcast_build_flags INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)
if(REELCAST_WERROR)
  target_compile_options(reelcast_build_flags INTERFACE -Werror)
endif()
if(REELCAST_FUZZ)
  target_compile_options(reelcast_build_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(reelcast_build_flags INTERFACE -fsanitize=address,undefined)
elseif(REELCAST_SANITIZE AND REELCAST_TSAN)
  message(FATAL_ERROR "REELCAST_SANITIZE and REELCAST_TSAN cannot be combined: the sanitizers exclude each other")
elseif(REELCAST_TSAN)
  target_compile_options(reelcast_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(reelcast_build_flags INTERFACE -fsanitize=thread)
elseif(REELCAST_SANITIZE)
  target_compile_options(reelcast_build_flags INTERFACE
    -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
  target_link_options(reelcast_build_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
