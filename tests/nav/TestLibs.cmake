# The favourites and folder tree tests share their set-up.
list(APPEND extra_sources ${CMAKE_CURRENT_LIST_DIR}/NavFixture.cpp)
# The folder list of the Jump field is tested on its own too.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/JumpComplete.cpp)
# A small program the prompt runs: it writes down its arguments and working folder.
add_executable(nav_probe ${CMAKE_CURRENT_LIST_DIR}/probe/NavProbe.cpp ${PANOREL_MANIFEST_RC})
target_link_options(nav_probe PRIVATE -municode)
cmake_language(DEFER CALL add_dependencies test_nav nav_probe)
# The prompt's field is tested on its own with real drops (its drop menu from its resources).
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/panels/PromptField.cpp ${CMAKE_SOURCE_DIR}/panels/PromptField.rc)
