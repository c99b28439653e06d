# Install rules and the Debian package. Hosts scan PREFIX/lib/vst for VST 2 plug-ins; the
# command-line tools go to PREFIX/bin. Build-only generators (make-artwork, make-hrir-table,
# make-demo-input, ...) are not installed.
include(GNUInstallDirs)

set(VORPANE_PLUGIN_DIR lib/vst)
set(VORPANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vorpane)

# Installing again replaces each binary with a new file instead of rewriting the old one in
# place: a running host keeps its mapping of the old plug-in intact, and a running tool's file is
# not busy.
function(vorpane_install_replaces path)
  install(CODE "file(REMOVE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\")")
endfunction()

# A plug-in is a shared object: readable, not executable.
vorpane_install_replaces(${VORPANE_PLUGIN_DIR}/Vorpane.so)
install(TARGETS Vorpane
  LIBRARY DESTINATION ${VORPANE_PLUGIN_DIR}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

foreach(tool vorpane-render vorpane-host)
  if(TARGET ${tool})
    vorpane_install_replaces(${CMAKE_INSTALL_BINDIR}/${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${VORPANE_DOC_DIR})
# Debian looks for the licence under this name.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VORPANE_DOC_DIR} RENAME copyright)
# The pictures the README shows.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${VORPANE_DOC_DIR}/docs
  FILES_MATCHING PATTERN "*.png")

set(VORPANE_PACKAGE_MAINTAINER "Farrowdale Audio <vorpane@farrowdale.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorpane)
set(CPACK_PACKAGE_VENDOR "Farrowdale Audio")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VORPANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "binaural panner VST 2.4 plug-in for headphone listening")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORPANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary line comes first; CPack indents the rest and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Vorpane places a stereo signal at a direction around the listener's head:
each channel is convolved with the measured head-related impulse response of
its own ear (MIT KEMAR measurements) for one of 25 x 50 directions, chosen by
two automatable parameters, Azimuth and Elevation.

The package installs the plug-in Vorpane.so in /usr/lib/vst, where Linux VST
hosts look for plug-ins, and the command-line renderer vorpane-render.")
include(CPack)
