list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GameRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameRecordEdits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InfoTexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordTree.cpp
)
# The engine's review of a game as the record keeps it.
list(APPEND CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Review.cpp)
list(APPEND CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/KifuFigures.cpp)
# Markup, annotations and the game tree's layout, for the board and the tree pane.
list(APPEND CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/NodeMarkup.cpp ${CMAKE_CURRENT_LIST_DIR}/TreeLayout.cpp)
