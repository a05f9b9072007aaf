# The WebAssembly build (the `wasm` preset, emscripten's toolchain). Boost, nlohmann-json and CLI11
# are header-only and come from Debian's /usr/include; searched after emscripten's own headers
# (-idirafter), so its C library is never shadowed by glibc's. Their package files name
# /usr/include as an include folder; CMake leaves out folders it takes as the compiler's own.
add_compile_options(-idirafter /usr/include)
list(APPEND CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES /usr/include)
# Exceptions are how a failed allocation or a bad argument reaches the commands' own handlers.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# FindBoost looks for its headers under emscripten's root alone.
set(Boost_INCLUDE_DIR /usr/include CACHE PATH "Boost's headers (Debian's)")
# std::bit_cast and std::make_unique_for_overwrite, which its libc++ lacks.
add_compile_options(-include ${PROJECT_SOURCE_DIR}/web/libcxx_compat.h)
