# The caption painter is tested on a window of the test's own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/customize/CaptionPainter.cpp)
