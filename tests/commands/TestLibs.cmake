# The reading of typed dates and times is tested on its own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/commands/StampText.cpp)
