list(APPEND CORE_SOURCES
)
list(APPEND UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AppSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMain.h
  ${CMAKE_CURRENT_LIST_DIR}/UnitMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainPanels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ActionTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainStartup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainPlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainReplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainComment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainVariations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainDetails.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainStudy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoardModes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCounting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineTurn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CountingPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibraryIndexer.cpp
)
