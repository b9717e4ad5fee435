# The bottom layer: the settings file, the program's version and the code page 932 text
# conversions, used by every layer above.
list(APPEND CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SettingsFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Version.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sjis.cpp
)
