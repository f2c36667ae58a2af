# Output files are compared byte for byte, so floating-point code must be evaluated exactly as
# written: no fused multiply-add, no fast-math. Every target of ours gets these through
# lobewright_target_flags; third-party code keeps its own.
function(lobewright_target_flags target)
  target_compile_options(${target} PRIVATE -ffp-contract=off -Wall -Wextra -Wpedantic -Wshadow)
endfunction()

option(LOBEWRIGHT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(LOBEWRIGHT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

option(LOBEWRIGHT_THREAD_SANITIZE "Build with ThreadSanitizer" OFF)
if(LOBEWRIGHT_THREAD_SANITIZE)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Instruments everything for libFuzzer's coverage; only the fuzz targets link its main.
option(LOBEWRIGHT_FUZZ "Build libFuzzer targets (clang) instead of replay programs" OFF)
if(LOBEWRIGHT_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
