# The Debian packages, built by `cpack -G DEB` in a Linux build: two from the
# one build, as Debian splits a program whose window a server does not need.
#   synch-property-locations-run  the console runner and the nightly pass: its
#                                 systemd units, the scheduled pass, the
#                                 system user, the sample site file. No Qt.
#   synch-property-locations      the window, its desktop entry and icon; it
#                                 depends on the runner package of its version.
# The window package keeps the name of the single package that versions up to
# 2.1 shipped, so upgrading that package brings both; the runner package takes
# over that package's runner files and says so (Replaces and Breaks).
#
# The programs live where the site configuration search finds the site file
# from their own folder: /usr/lib/synch-property-locations/VANTOR.APP/Jail/
# looks for /usr/lib/synch-property-locations/Vantor.Cfg/Vantor.ini, a link the
# runner package ships to /etc/Vantor.Cfg, where the site keeps its file (the
# package makes the folder, readable by the scheduled pass's group, but never
# writes the file; a sample goes with the documentation). The commands in
# /usr/bin are relative links to the programs: a program's own name comes from
# /proc/self/exe, which names the file behind the links, so the search starts
# from the program's folder whichever name it was started by.
set(package_name synch-property-locations)
set(runner_package ${package_name}-run)
# Literal folders, since the links in bin name the programs' folder by its
# place relative to theirs.
set(package_lib lib/${package_name})
set(package_programs ${package_lib}/VANTOR.APP/Jail)
set(debian_sources ${CMAKE_CURRENT_LIST_DIR}/debian)
set(debian_staging ${CMAKE_BINARY_DIR}/debian-package)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Each package's program with its command in /usr/bin and its manual page.
set(packaged_programs synch-property-locations-run:runner)
if(TARGET synch-property-locations)
  list(APPEND packaged_programs synch-property-locations:window)
endif()
find_program(GZIP_PROGRAM gzip REQUIRED)
# Debian keeps manual pages and changelogs compressed, without the time or
# name gzip would otherwise record, so that a package is the same each build.
function(add_compressed_text source compressed)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${compressed}
                     DEPENDS ${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY debian_compressed_texts ${compressed})
endfunction()

# Links made here and installed as links: install() copies a link as it stands.
file(MAKE_DIRECTORY ${debian_staging}/bin)
foreach(entry IN LISTS packaged_programs)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 program)
  list(GET entry 1 component)
  install(TARGETS ${program} RUNTIME DESTINATION ${package_programs} COMPONENT ${component})
  file(CREATE_LINK ../lib/${package_name}/VANTOR.APP/Jail/${program}
       ${debian_staging}/bin/${program} SYMBOLIC)
  install(FILES ${debian_staging}/bin/${program} DESTINATION bin COMPONENT ${component})
  add_compressed_text(${debian_sources}/${program}.1 ${debian_staging}/${program}.1.gz)
  install(FILES ${debian_staging}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT ${component})
endforeach()
file(CREATE_LINK /etc/Vantor.Cfg ${debian_staging}/Vantor.Cfg SYMBOLIC)
install(FILES ${debian_staging}/Vantor.Cfg DESTINATION ${package_lib} COMPONENT runner)

# One scheduled pass, and the systemd units that run it; the packages enable
# nothing, a site starts the timer itself (or a cron line runs the pass). The
# pass runs as a system user of its own (sysusers.d); tmpfiles.d makes
# /etc/Vantor.Cfg its group's and the logs folder its own, and ages the logs
# out. The maintainer scripts apply both and register the units.
install(PROGRAMS ${debian_sources}/scheduled-pass DESTINATION ${package_lib} COMPONENT runner)
install(FILES ${debian_sources}/${package_name}.service ${debian_sources}/${package_name}.timer
        DESTINATION lib/systemd/system COMPONENT runner)
install(FILES ${debian_sources}/${package_name}.sysusers DESTINATION lib/sysusers.d
        RENAME ${package_name}.conf COMPONENT runner)
install(FILES ${debian_sources}/${package_name}.tmpfiles DESTINATION lib/tmpfiles.d
        RENAME ${package_name}.conf COMPONENT runner)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/Vantor.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${runner_package}/examples COMPONENT runner)

# Each package's own documentation folder holds the copyright and the
# changelog; the version carries a Debian revision, so the changelog has
# Debian's name for it.
add_compressed_text(${debian_sources}/changelog ${debian_staging}/changelog.Debian.gz)
set(documented_packages ${runner_package}:runner)
if(TARGET synch-property-locations)
  list(APPEND documented_packages ${package_name}:window)
  install(FILES ${debian_sources}/${package_name}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
  install(FILES ${debian_sources}/${package_name}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
endif()
foreach(entry IN LISTS documented_packages)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 package)
  list(GET entry 1 component)
  install(FILES ${debian_staging}/changelog.Debian.gz ${debian_sources}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()
get_property(compressed_texts GLOBAL PROPERTY debian_compressed_texts)
add_custom_target(debian-texts ALL DEPENDS ${compressed_texts})

# cpack packs what the build made, without building the rest of 'all' (every
# test program) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runner)
set(CPACK_PACKAGE_NAME ${package_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of 2.1 as two packages; the changelog's latest entry
# names the same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE ${package_name})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "Synch Property Locations maintainers <maintainers@users.noreply.c-seed-127164d6.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what they load or
# run by name is said here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The programs without their debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_RUNNER_PACKAGE_NAME ${runner_package})
set(CPACK_DEBIAN_RUNNER_DESCRIPTION
    "recomputes the available flags of a jail's property locations (runner)
Recomputes the AVAILABLE flags of a county jail's property storage locations
and containers in its Microsoft SQL Server database, writes them back, and
keeps a conflicts log naming the held inmates in every container in use.
.
This package holds the console runner for schedulers, a scheduled pass for
systemd or cron, and systemd units for a nightly pass (not enabled), which runs
confined as the system user synch-property-locations. The site configuration
file goes in /etc/Vantor.Cfg/Vantor.ini; connections go through unixODBC and
the FreeTDS driver. The window program is in synch-property-locations.")
# The FreeTDS ODBC driver, which registers itself with unixODBC as "FreeTDS",
# the name every connection asks for; the tools the postinst runs to make the
# system user and the folders, from systemd or, on a machine without it,
# their standalone packages (the small ones first, which a system with systemd
# does not need).
set(CPACK_DEBIAN_RUNNER_PACKAGE_DEPENDS
    "tdsodbc, systemd-standalone-sysusers | systemd-sysusers, systemd-standalone-tmpfiles | systemd-tmpfiles")
# The 2.1 package held the runner's files under the window's name.
# isql, to try a site's connect string by hand.
set(CPACK_DEBIAN_RUNNER_PACKAGE_SUGGESTS unixodbc)
set(CPACK_DEBIAN_RUNNER_PACKAGE_REPLACES "${package_name} (<< 2.1-1)")
set(CPACK_DEBIAN_RUNNER_PACKAGE_BREAKS "${package_name} (<< 2.1-1)")
set(CPACK_DEBIAN_RUNNER_PACKAGE_CONTROL_EXTRA
    ${debian_sources}/runner/postinst ${debian_sources}/runner/prerm
    ${debian_sources}/runner/postrm)

if(TARGET synch-property-locations)
  list(APPEND CPACK_COMPONENTS_ALL window)
  set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME ${package_name})
  set(CPACK_DEBIAN_WINDOW_DESCRIPTION
      "recomputes the available flags of a jail's property locations (window)
Recomputes the AVAILABLE flags of a county jail's property storage locations
and containers in its Microsoft SQL Server database, writes them back, and
keeps a conflicts log naming the held inmates in every container in use.
.
This package holds the window program, with its desktop entry. The console
runner and the nightly pass are in synch-property-locations-run, which a
server without a display needs alone.")
  # The runner package of the same version (its site file link and system
  # user), and Qt's platform plugins, which Qt loads by name.
  set(CPACK_COMPONENT_WINDOW_DEPENDS runner)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS qt6-qpa-plugins)
  set(CPACK_DEBIAN_WINDOW_PACKAGE_CONTROL_EXTRA ${debian_sources}/window/postrm)
  install(FILES ${debian_sources}/window/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package_name}
          COMPONENT window)
endif()
include(CPack)
