# The Debian package: `make package` (or `cpack -G DEB` in a build folder)
# makes morvath-t60r_<version>_<arch>.deb. What goes where is listed in
# docs/packaging.md. Included last, when every target is known: a program
# that is not built (yet) is simply not in the package.
set(MT_PACKAGE_NAME morvath-t60r)
set(MT_PACKAGE_VERSION 1.0.0)
set(MT_RELEASE_DATE 2024-06-01)
# The AppStream component id, also the name of Option's desktop entry.
set(MT_APP_ID com.draveo.morvath_t60r)
set(MT_PROJECT_LICENSE LicenseRef-proprietary)
set(MT_ICON_NAME morvath-t60r)
set(MT_INSTALL_FOLDER /opt/${MT_PACKAGE_NAME})
string(SUBSTRING ${MT_INSTALL_FOLDER} 1 -1 mt_folder)  # as a destination: opt/morvath-t60r
set(MT_LAUNCHER_OPTION ${MT_PACKAGE_NAME}-option)
set(MT_LAUNCHER_MONITOR ${MT_PACKAGE_NAME}-monitor)
set(MT_LAUNCHER_OSD ${MT_PACKAGE_NAME}-osd)

set(mt_pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(mt_pkg_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${mt_pkg_out})
# The package installs into /: every destination below is relative to it.
set(CPACK_PACKAGING_INSTALL_PREFIX /)

# --- The desktop files, the metainfo file, the launchers --------------------------
configure_file(${mt_pkg_src}/app.desktop.in ${mt_pkg_out}/${MT_APP_ID}.desktop @ONLY)
configure_file(${mt_pkg_src}/metainfo.xml.in ${mt_pkg_out}/${MT_APP_ID}.metainfo.xml @ONLY)
configure_file(${mt_pkg_src}/monitor-autostart.desktop.in ${mt_pkg_out}/${MT_PACKAGE_NAME}-monitor.desktop @ONLY)
configure_file(${mt_pkg_src}/osd-autostart.desktop.in ${mt_pkg_out}/${MT_PACKAGE_NAME}-osd.desktop @ONLY)
# For the validation tests (tests/package/).
set(MT_DESKTOP_FILES ${mt_pkg_out}/${MT_APP_ID}.desktop ${mt_pkg_out}/${MT_PACKAGE_NAME}-monitor.desktop
    ${mt_pkg_out}/${MT_PACKAGE_NAME}-osd.desktop)
set(MT_METAINFO_FILE ${mt_pkg_out}/${MT_APP_ID}.metainfo.xml)

# /usr/bin/<launcher> -> the program in the program folder. The programs find
# their folder from their own executable, so a link is all a launcher needs.
function(mt_package_launcher name program)
  file(CREATE_LINK ${MT_INSTALL_FOLDER}/${program} ${mt_pkg_out}/${name} SYMBOLIC)
  install(FILES ${mt_pkg_out}/${name} DESTINATION usr/bin)
endfunction()

# --- The program folder -------------------------------------------------------------
set(mt_programs)
foreach(p Monitor Option osd)
  if(TARGET ${p})
    list(APPEND mt_programs ${p})
  endif()
endforeach()
install(TARGETS ${mt_programs} RUNTIME DESTINATION ${mt_folder})
# The real plug-in; the simulated one goes with the tools, for trying the
# suite out with the virtual mouse (docs/packaging.md).
install(TARGETS hiddriver LIBRARY DESTINATION ${mt_folder})
install(DIRECTORY ${MT_DIST_DIR}/Lang ${MT_DIST_DIR}/Skins DESTINATION ${mt_folder})
# The user guide, once the build renders it.
install(DIRECTORY ${MT_DIST_DIR}/doc DESTINATION ${mt_folder} OPTIONAL)
set(mt_tools)
foreach(t virtual-mouse winmsg report-dump)
  if(TARGET ${t})
    list(APPEND mt_tools ${t})
  endif()
endforeach()
install(TARGETS ${mt_tools} RUNTIME DESTINATION ${mt_folder}/tools)
if(TARGET hiddriver_sim)
  install(TARGETS hiddriver_sim LIBRARY DESTINATION ${mt_folder}/tools)
endif()

# --- Desktop integration ------------------------------------------------------------
install(FILES ${CMAKE_SOURCE_DIR}/hiddriver/70-morvath-t60r.rules DESTINATION usr/lib/udev/rules.d)
if(TARGET Monitor)
  install(FILES ${mt_pkg_out}/${MT_PACKAGE_NAME}-monitor.desktop DESTINATION etc/xdg/autostart)
  mt_package_launcher(${MT_LAUNCHER_MONITOR} Monitor)
endif()
if(TARGET osd)
  install(FILES ${mt_pkg_out}/${MT_PACKAGE_NAME}-osd.desktop DESTINATION etc/xdg/autostart)
  mt_package_launcher(${MT_LAUNCHER_OSD} osd)
endif()
if(TARGET Option)
  install(FILES ${mt_pkg_out}/${MT_APP_ID}.desktop DESTINATION usr/share/applications)
  install(FILES ${mt_pkg_out}/${MT_APP_ID}.metainfo.xml DESTINATION usr/share/metainfo)
  mt_package_launcher(${MT_LAUNCHER_OPTION} Option)
endif()
# The program icon in the hicolor theme, as the skin generator draws it.
foreach(n 16 22 24 32 48 64 128 256)
  install(FILES ${MT_DIST_DIR}/Skins/Icons/hicolor/${n}x${n}/${MT_ICON_NAME}.png
          DESTINATION usr/share/icons/hicolor/${n}x${n}/apps)
endforeach()
install(FILES ${mt_pkg_src}/copyright DESTINATION usr/share/doc/${MT_PACKAGE_NAME})

# --- The package ----------------------------------------------------------------------
# /etc/xdg/autostart is configuration: the user's changes survive upgrades.
set(mt_conffiles)
foreach(p Monitor osd)
  if(TARGET ${p})
    string(TOLOWER ${p} lower)
    string(APPEND mt_conffiles "/etc/xdg/autostart/${MT_PACKAGE_NAME}-${lower}.desktop\n")
  endif()
endforeach()
file(WRITE ${mt_pkg_out}/conffiles "${mt_conffiles}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${MT_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${MT_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR Draveo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration suite of the Morvath T60R gaming mouse")
# The long description only: CPack puts the summary line above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Option sets up what each of the mouse's nine buttons does, up to five
sensitivity levels, the report rate, the lighting, keyboard macros and five
profiles that follow the program in front. Monitor, started at log-on, writes
the current profile to the mouse, follows the changes made on the mouse and
carries out the buttons' software functions; a small on-screen display shows
profile changes. Installs a udev rule so that the user at the seat may open
the mouse without root.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morvath T60R suite team <morvath-t60r@draveo.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Used at run time, so shlibdeps cannot see them: the Arial stand-in the
# skin is laid out for, a font with the Chinese texts (the language menu
# shows one on every system), and xdg-open for documents and the user guide.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${mt_pkg_src}/postinst ${mt_pkg_src}/postrm ${mt_pkg_out}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
