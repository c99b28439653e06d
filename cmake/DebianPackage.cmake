# The Debian package (`make deb`), made by CPack from the full install of cmake/Install.cmake
# with the prefix /usr.
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
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "binaural panner VST 2.4 and LV2 plug-in for headphone listening")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORPANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Every tool the package installs, by name.
set(VORPANE_TOOL_TEXT "")
foreach(tool IN LISTS VORPANE_INSTALLED_TOOLS)
  if(tool STREQUAL "vorpane-render")
    string(APPEND VORPANE_TOOL_TEXT "\n- vorpane-render renders an audio file through the plug-in.")
  elseif(tool STREQUAL "vorpane-host")
    string(APPEND VORPANE_TOOL_TEXT "\n- vorpane-host opens the plug-in's panel in a window of its own.")
  else()
    string(APPEND VORPANE_TOOL_TEXT "\n- ${tool}.")
  endif()
endforeach()

# The summary line comes first; CPack indents the rest and marks the empty lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Vorpane places a stereo signal at a direction around the listener's head:
each channel is convolved with the measured head-related impulse response of
its own ear (MIT KEMAR measurements) for one of 25 x 50 directions, chosen by
two automatable parameters, Azimuth and Elevation.

The package installs the plug-in in two formats, with the same sound and the
same panel: Vorpane.so in /usr/lib/vst, where Linux VST hosts look for it, and
the LV2 bundle vorpane.lv2 in /usr/lib/lv2. Its command-line tools:${VORPANE_TOOL_TEXT}")
include(CPack)
