# The reading of typed dates and times is tested on its own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/commands/StampText.cpp)
# So is the folder index that Compare and Synchronize read folders into.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/commands/FolderIndex.cpp)
