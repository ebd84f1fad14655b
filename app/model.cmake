# app_model: the main window's stored description, embedded in the program,
# and the restoring of its components that the window and the console runner
# share. Qt-free. Included by app/CMakeLists.txt.
set(MAIN_FORM_FILE ${CMAKE_CURRENT_LIST_DIR}/main_form.desc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MAIN_FORM_FILE})
file(READ ${MAIN_FORM_FILE} MAIN_FORM_TEXT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/main_form_text.cc.in
               ${CMAKE_CURRENT_BINARY_DIR}/main_form_text.cc @ONLY)

add_library(app_model STATIC
  ${CMAKE_CURRENT_LIST_DIR}/main_form_description.cc
  ${CMAKE_CURRENT_BINARY_DIR}/main_form_text.cc)
target_include_directories(app_model PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(app_model PUBLIC sync config db core)
