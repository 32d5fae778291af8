# The text codec and the document are tested on their own as well as through the program.
list(APPEND extra_sources ${CMAKE_SOURCE_DIR}/quickedit/QuickEditText.cpp
     ${CMAKE_SOURCE_DIR}/quickedit/QuickEditDoc.cpp ${CMAKE_SOURCE_DIR}/quickedit/QuickEdit.rc)
