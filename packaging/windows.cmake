# The Windows package: a ZIP whose folders are already a site's, unpacked as
# they stand into the folder that holds VANTOR.APP (README-site.txt). Text
# files get Windows line breaks: Notepad before Windows 10 shows no others.
# The programs alone (component Programs) install over a site without touching
# its Vantor.ini.
install(TARGETS synch-property-locations-run RUNTIME DESTINATION VANTOR.APP/Jail
        COMPONENT Programs)
if(TARGET synch-property-locations)
  install(TARGETS synch-property-locations RUNTIME DESTINATION VANTOR.APP/Jail
          COMPONENT Programs)
endif()

set(package_texts ${CMAKE_BINARY_DIR}/package-texts)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Vantor.ini ${package_texts}/Vantor.ini @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README-site.txt ${package_texts}/README-site.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${package_texts}/Vantor.ini DESTINATION Vantor.Cfg COMPONENT SiteSamples)
install(FILES ${package_texts}/README-site.txt DESTINATION . COMPONENT SiteSamples)

# cpack packs what the build made, without building the rest of 'all' (every
# test program) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# The ZIP's name without ".zip"; include(CPack) leaves CPACK_PACKAGE_FILE_NAME
# set to the source package's.
set(WINDOWS_PACKAGE_NAME synch-property-locations-${PROJECT_VERSION}-windows-x64)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME synch-property-locations)
set(CPACK_PACKAGE_FILE_NAME ${WINDOWS_PACKAGE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The programs without their debugging information, a tenth of their size.
set(CPACK_STRIP_FILES ON)
include(CPack)
