# Warnings for our own targets only; third-party headers are included as system headers.
function(lumora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()
