# Every computed value must agree to the last bit with plain IEEE double arithmetic
# done in the written order: no fused multiply-add, no fast-math, SSE on x86-64.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_compile_options(-mfpmath=sse)
endif()

# Warnings as errors for the project's own targets: each links this PRIVATE,
# so they never reach what is built from other people's code.
add_library(chain_warnings INTERFACE)
target_compile_options(chain_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror)
