# MinGW-w64: static runtime so the exe needs no DLL beyond the system's.
enable_language(RC)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(pinnafex_winlibs INTERFACE)
target_link_libraries(pinnafex_winlibs INTERFACE user32 gdi32 shell32 comctl32 advapi32 crypt32
                      bcrypt ole32 kernel32)

# Windows-side tests run under Wine; tools/wine-exec.sh needs the session that tools/test.sh sets up.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec.sh)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PINNAFEX_BITS 64)
else()
  set(PINNAFEX_BITS 32)
endif()

# The program's own code is built without exceptions or RTTI: nothing in it throws, and a
# single cleanup landing pad pulls libstdc++'s unwinder, its demangler and winpthreads into the
# exe (about 120 KB of the i686 build). One section per function lets the linker drop what the
# exe never calls. Not one per object: MinGW's GCC then puts zero-initialised globals into data
# sections that take room in the file (6.5 KB of the i686 exe) instead of .bss. The
# Windows-side tests link these same objects; their own code keeps exceptions for GoogleTest.
# Function-local statics are set up on the main thread alone: without their thread-safe guard
# the exe pulls neither winpthreads nor the C++ unwinder.
set(PINNAFEX_LEAN_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics -ffunction-sections)
# Without exceptions nothing unwinds through the 32-bit code; 64-bit Windows needs the unwind
# data for every frame, so it stays there.
if(PINNAFEX_BITS EQUAL 32)
  list(APPEND PINNAFEX_LEAN_OPTIONS -fno-asynchronous-unwind-tables)
endif()
function(pinnafex_lean_program)
  foreach(target pinnafex_logic pinnafex_core pinnafex)
    target_compile_options(${target} PRIVATE ${PINNAFEX_LEAN_OPTIONS})
  endforeach()
  # No link time in the header: the same commit packs the same exe.
  target_link_options(pinnafex PRIVATE -Wl,--gc-sections -Wl,--no-insert-timestamp
                      $<$<CONFIG:MinSizeRel>:-s>)
endfunction()
# The exe is defined in shell/: run once every subdirectory has been read.
cmake_language(DEFER CALL pinnafex_lean_program)
