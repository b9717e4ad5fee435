list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoardGeometry.cpp
)
list(APPEND UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoardView.cpp
)
# Dialogs, about box and help.
set(DIALOGS_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogTexts.cpp)
set(DIALOGS_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Cp932Edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogParts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitGameNew.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitGameInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitAbout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/useHTMLHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
)
# The settings dialog starts the engine to try it: it goes with the program's window code.
list(APPEND UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/UnitConfig.cpp)
list(APPEND CORE_SOURCES ${DIALOGS_CORE_SOURCES})
list(APPEND UI_SOURCES ${DIALOGS_UI_SOURCES})
include(${CMAKE_CURRENT_LIST_DIR}/../help/help.cmake)
# Kifu figures: board artwork and figure painting (Qt GUI, no widgets), and the window.
list(APPEND FIGURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AssetImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoardArt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KifuFigure.cpp
)
list(APPEND UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/KifuWindow.cpp ${CMAKE_CURRENT_LIST_DIR}/KifuWindowFactory.cpp)
