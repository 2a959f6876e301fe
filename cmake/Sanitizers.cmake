# LUMIO_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer; any
# finding ends the program with an error, so a test that triggers one fails.
# LUMIO_FUZZ (clang only, implies LUMIO_SANITIZE): the code is also instrumented for
# coverage, and the libFuzzer targets in tests/fuzz are built.
option(LUMIO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(LUMIO_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only)" OFF)

if(LUMIO_SANITIZE OR LUMIO_FUZZ)
  target_compile_options(lumio_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(lumio_options INTERFACE -fsanitize=address,undefined)
endif()

if(LUMIO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMIO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  target_compile_options(lumio_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
