# The WebAssembly build (the web preset, Debian's emscripten): the page in web/,
# and the model and drawing tests run under node.
#
# The arithmetic stays as Flags.cmake sets it (no fused multiply-add, no
# fast-math). The hardening of the desktop's ELF files does not apply here.
#
# Exceptions: the tests run by node catch them as WebAssembly's own
# (-fwasm-exceptions), so those that expect a throw work. The page's targets
# (the property CHAIN_PAGE_CODE, web/CMakeLists.txt) are built without catching,
# emscripten's default (-sDISABLE_EXCEPTION_CATCHING=1: a throw stops the core,
# and the page says so). A pass never throws there: the catches around the
# drawing calls (render/Draw.cpp) guard against a target that fails, and the
# page's surface fails none (it keeps numbers, in room reserved once); the model
# throws only for an index outside the chain, which the session never asks for.
# Why: Safari 26.0 fails pages built with -fwasm-exceptions at -O3, and no
# feature test can tell, since that Safari has the feature. The cost, measured
# alternating both builds three times in one run (bench/web_passes.mjs): none
# in passes per second beyond the shared machine's noise (chromium 87,000 to
# 107,000 without catching, 74,000 to 118,000 with; WebKitGTK 69,000 to 81,000
# and 29,000 to 65,000), and the page is lighter without: chain.wasm 55.8 kB
# against 72.5 kB, chain.js 14.3 against 12.8 kB, what the page loads 90.2 kB
# against 105.5 kB (35.5 against 40.7 kB gzipped).

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
