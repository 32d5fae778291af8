# The history list is tested on its own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/FolderHistory.cpp)
