# Warnings are errors-in-waiting: keep them at zero on every compiler.
if(MSVC)
  add_compile_options(/W4 /permissive-)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
endif()
