# MinGW-w64: static runtime so the exe needs no DLL beyond the system's.
enable_language(RC)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(pinnafex_winlibs INTERFACE)
target_link_libraries(pinnafex_winlibs INTERFACE user32 gdi32 shell32 comctl32 advapi32 kernel32)

# Windows-side tests run under Wine; tools/wine-exec.sh needs the session that tools/test.sh sets up.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec.sh)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PINNAFEX_BITS 64)
else()
  set(PINNAFEX_BITS 32)
endif()
