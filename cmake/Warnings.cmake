# One place for the warning flags; every target links it.
add_library(mv_warnings INTERFACE)
target_compile_options(mv_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
