# Native build of the pure logic. PINNAFEX_SANITIZE: "address,undefined", "thread" or empty.
set(PINNAFEX_SANITIZE "" CACHE STRING "sanitizers for the native build")
option(PINNAFEX_FUZZ "build the libFuzzer targets (clang)" OFF)
option(PINNAFEX_BENCH "build the benchmarks" OFF)

if(PINNAFEX_SANITIZE)
  add_compile_options(-fsanitize=${PINNAFEX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${PINNAFEX_SANITIZE})
endif()
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

# Fuzz builds instrument the logic too, so libFuzzer sees its coverage.
if(PINNAFEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
