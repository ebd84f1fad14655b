# The Debian package, built by `cpack -G DEB` in a Linux build. The programs
# live where the site configuration search finds the site file from their own
# folder: /usr/lib/synch-property-locations/VANTOR.APP/Jail/ looks for
# /usr/lib/synch-property-locations/Vantor.Cfg/Vantor.ini, a link the package
# ships to /etc/Vantor.Cfg, where the site keeps its file (the package makes
# the folder, readable by the scheduled pass's group, but never writes the
# file; a sample goes with the documentation). The commands in /usr/bin
# are relative links to the programs: a program's own name comes from
# /proc/self/exe, which names the file behind the links, so the search starts
# from the program's folder whichever name it was started by.
set(package_name synch-property-locations)
# Literal folders, since the links in bin name the programs' folder by its
# place relative to theirs.
set(package_lib lib/${package_name})
set(package_programs ${package_lib}/VANTOR.APP/Jail)
set(package_doc ${CMAKE_INSTALL_DATADIR}/doc/${package_name})
set(debian_sources ${CMAKE_CURRENT_LIST_DIR}/debian)
set(debian_staging ${CMAKE_BINARY_DIR}/debian-package)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(programs synch-property-locations-run)
if(TARGET synch-property-locations)
  list(APPEND programs synch-property-locations)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${package_programs})

# Links made here and installed as links: install() copies a link as it stands.
file(MAKE_DIRECTORY ${debian_staging}/bin)
foreach(program IN LISTS programs)
  file(CREATE_LINK ../lib/${package_name}/VANTOR.APP/Jail/${program}
       ${debian_staging}/bin/${program} SYMBOLIC)
  install(FILES ${debian_staging}/bin/${program} DESTINATION bin)
endforeach()
file(CREATE_LINK /etc/Vantor.Cfg ${debian_staging}/Vantor.Cfg SYMBOLIC)
install(FILES ${debian_staging}/Vantor.Cfg DESTINATION ${package_lib})

# One scheduled pass, and the systemd units that run it; the package enables
# nothing, a site starts the timer itself. The pass runs as a system user of
# its own (sysusers.d); tmpfiles.d makes /etc/Vantor.Cfg its group's and ages
# the logs out. postinst applies both at installation.
install(PROGRAMS ${debian_sources}/scheduled-pass DESTINATION ${package_lib})
install(FILES ${debian_sources}/${package_name}.service ${debian_sources}/${package_name}.timer
        DESTINATION lib/systemd/system)
install(FILES ${debian_sources}/${package_name}.sysusers DESTINATION lib/sysusers.d
        RENAME ${package_name}.conf)
install(FILES ${debian_sources}/${package_name}.tmpfiles DESTINATION lib/tmpfiles.d
        RENAME ${package_name}.conf)

# Debian keeps manual pages and changelogs compressed, without the time or
# name gzip would otherwise record, so that the package is the same each build.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(manual_pages synch-property-locations-run.1)
if(TARGET synch-property-locations)
  list(APPEND manual_pages synch-property-locations.1)
endif()
set(compressed_texts)
foreach(text IN LISTS manual_pages ITEMS changelog)
  add_custom_command(OUTPUT ${debian_staging}/${text}.gz
                     COMMAND ${GZIP_PROGRAM} -9n -c ${debian_sources}/${text}
                             > ${debian_staging}/${text}.gz
                     DEPENDS ${debian_sources}/${text} VERBATIM)
  list(APPEND compressed_texts ${debian_staging}/${text}.gz)
endforeach()
add_custom_target(debian-texts ALL DEPENDS ${compressed_texts})
foreach(page IN LISTS manual_pages)
  install(FILES ${debian_staging}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${debian_staging}/changelog.gz ${debian_sources}/copyright
        DESTINATION ${package_doc})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/Vantor.ini DESTINATION ${package_doc}/examples)

if(TARGET synch-property-locations)
  install(FILES ${debian_sources}/${package_name}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${debian_sources}/${package_name}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# cpack packs what the build made, without building the rest of 'all' (every
# test program) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${package_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "Synch Property Locations maintainers <maintainers@users.noreply.c-seed-127164d6.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "recomputes the available flags of a jail's property locations
Recomputes the AVAILABLE flags of a county jail's property storage locations
and containers in its Microsoft SQL Server database, writes them back, and
keeps a conflicts log naming the held inmates in every container in use.
.
The package holds the window program, the console runner for schedulers and
systemd units for a nightly pass (not enabled), which runs confined as the
system user synch-property-locations. The site configuration file goes in
/etc/Vantor.Cfg/Vantor.ini; connections go through unixODBC and the FreeTDS
driver.")
# The libraries the programs link come from dpkg-shlibdeps; what they load by
# name is said here: the FreeTDS ODBC driver (its installation registers it
# with unixODBC as "FreeTDS") and, for the window, Qt's platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(debian_depends tdsodbc)
if(TARGET synch-property-locations)
  list(APPEND debian_depends qt6-qpa-plugins)
endif()
list(JOIN debian_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS unixodbc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${debian_sources}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The programs without their debugging information.
set(CPACK_STRIP_FILES ON)
include(CPack)
