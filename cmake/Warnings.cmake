# Our own code builds warning-free at -Wall -Wextra; JUCE's headers come in as SYSTEM includes.
add_library(talvo_warnings INTERFACE)
target_compile_options(talvo_warnings INTERFACE -Wall -Wextra)
