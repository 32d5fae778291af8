# The message-box answerer of the window tests answers the parser's and the importer's boxes.
if(NOT TARGET ui_testutil)
  add_library(ui_testutil STATIC ${CMAKE_CURRENT_SOURCE_DIR}/lib/ui/UiTestUtil.cpp)
  target_link_libraries(ui_testutil PUBLIC gtest ${PANOREL_SYSLIBS})
endif()
list(APPEND libs ui_testutil)
