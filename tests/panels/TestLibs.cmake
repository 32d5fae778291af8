# The history list is tested on its own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/FolderHistory.cpp)
# The drive bar and the drive lists are tested in this process too, with their images.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/Drives.cpp ${CMAKE_SOURCE_DIR}/panels/DriveBar.cpp
     ${CMAKE_SOURCE_DIR}/panels/DriveBar.rc)
list(APPEND libs framework)
