list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoardGeometry.cpp
)
list(APPEND UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoardView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameTreePane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReviewGraph.cpp
)
# Message boxes and file dialogs, the dialogs, about box and help.
list(APPEND CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogTexts.cpp)
list(APPEND UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Prompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cp932Edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogParts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitGameNew.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitGameInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitAbout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/useHTMLHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
)
# The settings dialog starts the engine to try it.
list(APPEND UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/UnitConfig.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/../help/help.cmake)
# The pictures: board artwork, icons, the about box.
include(${CMAKE_CURRENT_LIST_DIR}/../assets/sources.cmake)
# Kifu figures: board artwork and figure painting (Qt GUI, no widgets), and the window.
list(APPEND FIGURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AssetImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoardArt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KifuFigure.cpp
)
list(APPEND UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/KifuWindow.cpp ${CMAKE_CURRENT_LIST_DIR}/KifuWindowFactory.cpp)
