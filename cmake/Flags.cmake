# Every computed value must agree to the last bit with plain IEEE double arithmetic
# done in the written order: no fused multiply-add, no fast-math, SSE on x86-64.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_compile_options(-mfpmath=sse)
endif()

# Warnings as errors for the project's own targets.
function(chain_target_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror)
endfunction()
