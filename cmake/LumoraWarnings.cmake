# Warnings for our own targets only; third-party headers are included as system headers.
function(lumora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers
    # GCC 12 reports impossible overlaps inside std::string concatenation at -O2 (its bug
    # 105329); the warning says nothing about our code.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()
