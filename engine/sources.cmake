list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Gtp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Analysis.cpp
)
# The engine process and the computer player are Qt code; their headers are listed for moc.
list(APPEND UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/EngineProcess.h
  ${CMAKE_CURRENT_LIST_DIR}/EngineProcess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rokiru.h
  ${CMAKE_CURRENT_LIST_DIR}/Rokiru.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LiveAnalysis.h
  ${CMAKE_CURRENT_LIST_DIR}/LiveAnalysis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameReview.h
  ${CMAKE_CURRENT_LIST_DIR}/GameReview.cpp
)
