list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PositionHash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibraryIndex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibraryCache.cpp
)
