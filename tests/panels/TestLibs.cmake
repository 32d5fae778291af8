# The history list, the view-mode menu, the panel toolbar, the shared menus, the drive bar and
# the drive lists are tested on their own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/FolderHistory.cpp
     ${CMAKE_SOURCE_DIR}/panels/ViewModeMenu.cpp ${CMAKE_SOURCE_DIR}/panels/PanelToolBar.cpp
     ${CMAKE_SOURCE_DIR}/panels/SharedMenus.cpp ${CMAKE_SOURCE_DIR}/panels/PanelViewState.cpp
     ${CMAKE_SOURCE_DIR}/customize/CustomToolBar.cpp)
# The drive bar is built with its images.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/Drives.cpp ${CMAKE_SOURCE_DIR}/panels/DriveBar.cpp
     ${CMAKE_SOURCE_DIR}/panels/DriveBar.rc)
list(APPEND libs framework)
