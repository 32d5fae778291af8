# The history list, the view-mode menu, the panel toolbar and the shared menus are tested on
# their own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/FolderHistory.cpp
     ${CMAKE_SOURCE_DIR}/panels/ViewModeMenu.cpp ${CMAKE_SOURCE_DIR}/panels/PanelToolBar.cpp
     ${CMAKE_SOURCE_DIR}/panels/SharedMenus.cpp ${CMAKE_SOURCE_DIR}/panels/PanelViewState.cpp)
list(APPEND libs framework)
