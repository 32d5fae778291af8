# The test pictures are built into the test executable.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/tests/imageview/TestData.rc)
