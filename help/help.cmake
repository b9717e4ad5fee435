# The help pages are read at run time from "help" beside the executable: copy them into the
# build folder, again whenever one of them changes.
file(GLOB TAVRIN_HELP_FILES ${CMAKE_CURRENT_LIST_DIR}/*.html ${CMAKE_CURRENT_LIST_DIR}/*.css)
file(COPY ${TAVRIN_HELP_FILES} DESTINATION ${CMAKE_BINARY_DIR}/help)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVRIN_HELP_FILES})
