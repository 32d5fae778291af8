# The favourites and folder tree tests share their set-up.
list(APPEND extra_sources ${CMAKE_CURRENT_LIST_DIR}/NavFixture.cpp)
