# The board artwork is drawn by the kifu figures too.
list(APPEND FIGURE_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/board.qrc)
list(APPEND UI_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/icons.qrc)
list(APPEND UI_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/about.qrc)
