# AddressSanitizer and UndefinedBehaviorSanitizer for every target of the
# project (-DCHAIN_SANITIZE=ON). Float-to-integer conversions out of range are
# checked too. Division by zero of doubles is not: the time step divides by a
# zero mass or rest length on purpose and checks each result itself.
option(CHAIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(CHAIN_SANITIZE)
  set(CHAIN_SANITIZE_FLAGS
    -fsanitize=address,undefined,float-cast-overflow
    -fno-sanitize=float-divide-by-zero
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_compile_options(${CHAIN_SANITIZE_FLAGS})
  add_link_options(${CHAIN_SANITIZE_FLAGS})
endif()

# The fuzz target (-DCHAIN_BUILD_FUZZ=ON, clang only): libFuzzer's coverage
# instrumentation on every target, the fuzzer's own main on the target itself.
option(CHAIN_BUILD_FUZZ "Build the libFuzzer target (needs clang)" OFF)
if(CHAIN_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CHAIN_BUILD_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
