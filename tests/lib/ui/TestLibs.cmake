# Helpers shared by the window and dialog tests (templates in memory, message-box answerer).
if(NOT TARGET ui_testutil)
  add_library(ui_testutil STATIC ${dir}/UiTestUtil.cpp)
  target_link_libraries(ui_testutil PUBLIC gtest ${PANOREL_SYSLIBS})
endif()
list(APPEND libs ui_testutil)
