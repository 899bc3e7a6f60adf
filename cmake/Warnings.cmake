# Warnings every target of ours is built with.
add_library(lumora_warnings INTERFACE)
target_compile_options(lumora_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wconversion -Wformat=2
    -Wimplicit-fallthrough)
