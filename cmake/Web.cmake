# The WebAssembly build (the web preset, Debian's emscripten): the page in web/,
# and the model and drawing tests run under node.
#
# The arithmetic stays as Flags.cmake sets it (no fused multiply-add, no
# fast-math). The hardening of the desktop's ELF files does not apply here.
#
# Exceptions: the tests run by node catch them as WebAssembly's own
# (-fwasm-exceptions), so those that expect a throw work. The page's targets
# (the property CHAIN_PAGE_CODE, web/CMakeLists.txt) are built without catching,
# emscripten's default (-sDISABLE_EXCEPTION_CATCHING=1: a throw ends the
# module, which the page reports). A pass never throws there: the page's
# surface reserves room for every command of a pass, so the catches around
# the drawing calls (render/Draw.cpp) are never taken, and the model throws
# only for an index outside the chain, which the session never asks for.
# Why: Safari 26.0 fails to run pages built with -fwasm-exceptions at -O3,
# and a feature test cannot tell, since it claims the feature. Measured in one
# run (bench/web.sh, headless chromium): without catching chain.wasm is 55.8
# kB against 72.5 kB (chain.js 14.3 against 12.8 kB), at 57,800 against 54,800
# passes/s; the figures are in bench/README.md.

option(CHAIN_BUILD_WEB "Build the page (needs the emscripten toolchain)" OFF)

if(EMSCRIPTEN)
  set(chain_exceptions $<$<NOT:$<BOOL:$<TARGET_PROPERTY:CHAIN_PAGE_CODE>>>:-fwasm-exceptions>)
  add_compile_options(${chain_exceptions})
  add_link_options(${chain_exceptions})
  # Debian's emscripten runs its JavaScript tools with node, which finds
  # Debian's own node modules (acorn and others) only when told where they are.
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
  # The loader reads the .wasm file from disk only without node's fetch.
  find_program(CHAIN_NODE NAMES node nodejs REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CHAIN_NODE} --no-experimental-fetch
      CACHE STRING "How the test programs run" FORCE)
elseif(CHAIN_BUILD_WEB)
  message(FATAL_ERROR "CHAIN_BUILD_WEB needs the emscripten toolchain: cmake --preset web")
endif()

# A test program run by node: the real file system, and memory that grows.
function(chain_node_program target)
  if(EMSCRIPTEN)
    target_link_options(${target} PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1
                                          -sENVIRONMENT=node)
  endif()
endfunction()
