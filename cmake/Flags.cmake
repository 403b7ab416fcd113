# Every computed value must agree to the last bit with plain IEEE double arithmetic
# done in the written order: no fused multiply-add, no fast-math, SSE on x86-64.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_compile_options(-mfpmath=sse)
endif()

# Warnings for the project's own targets: each links this PRIVATE, so they
# never reach what is built from other people's code.
#
# They are errors in the developers' and the test command's builds (every
# preset turns CHAIN_WARNINGS_AS_ERRORS on), not in the build run.sh makes for
# a user, nor by default: a warning that a newer compiler adds must not stop a
# user's build of a release that was clean when it was made.
option(CHAIN_WARNINGS_AS_ERRORS "Treat the project's warnings as errors" OFF)
add_library(chain_warnings INTERFACE)
target_compile_options(chain_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  $<$<BOOL:${CHAIN_WARNINGS_AS_ERRORS}>:-Werror>)
