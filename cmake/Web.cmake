# The WebAssembly build (the web preset, Debian's emscripten): the page in web/,
# and the model and drawing tests run under node.
#
# The arithmetic stays as Flags.cmake sets it (no fused multiply-add, no
# fast-math). The hardening of the desktop's ELF files does not apply here.
# Exceptions are WebAssembly's own, so the tests that expect a throw work and a
# pass pays nothing for the catch around each drawing call.

option(CHAIN_BUILD_WEB "Build the page (needs the emscripten toolchain)" OFF)

if(EMSCRIPTEN)
  add_compile_options(-fwasm-exceptions)
  add_link_options(-fwasm-exceptions)
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
