# Release builds, the ones run.sh and the package use, are hardened the way
# Debian builds its own packages (dpkg-buildflags with hardening=+all):
# position-independent executables, a stack protector on functions with local
# arrays or address-taken locals, checked libc calls, and relocations resolved
# at start-up and then made read-only (full RELRO).
#
# These flags change no arithmetic; the floating-point options in Flags.cmake
# stay as they are. Turn it off with -DCHAIN_HARDENING=OFF (sanitizer builds,
# for instance, bring their own instrumentation).

option(CHAIN_HARDENING "Harden Release builds (PIE, stack protector, fortify, RELRO, BIND_NOW)" ON)

# They are for the desktop's ELF files; a WebAssembly build has none of them.
if(CHAIN_HARDENING AND NOT EMSCRIPTEN)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)

  set(_chain_release "$<CONFIG:Release>")
  # The toolchain may define its own fortify level: replace it rather than redefine it.
  add_compile_options(
    "$<${_chain_release}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
    "$<${_chain_release}:-fstack-protector-strong>"
    "$<${_chain_release}:-Wformat;-Werror=format-security;-Wdate-time>")
  add_link_options(
    "$<${_chain_release}:LINKER:-z,relro;LINKER:-z,now>")
  unset(_chain_release)
endif()
