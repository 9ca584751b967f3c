function(orka_enable_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
