# Install rules: the one way the project is installed, by `make install`, by `cmake --install`
# and by the Debian package.
#
# A full install (`cmake --install build --prefix PREFIX`, and the package) puts the VST plug-in
# in PREFIX/lib/vst, where Linux VST hosts look for it, the LV2 bundle in
# PREFIX/lib/lv2/vorpane.lv2, the command-line tools in PREFIX/bin and the documents in
# PREFIX/share/doc/vorpane. Build-only generators (make-artwork, make-hrir-table,
# make-demo-input, ...) are not installed.
#
# The component `user` (`cmake --install build --component user`, what `make install` without
# PREFIX runs) installs only the two plug-ins, for the current user: Vorpane.so in
# VORPANE_USER_VST_DIR and the bundle in VORPANE_USER_LV2_DIR/vorpane.lv2. A full install leaves
# it out.
include(GNUInstallDirs)

set(VORPANE_VST_DIR lib/vst)
set(VORPANE_LV2_DIR lib/lv2)
set(VORPANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vorpane)
set(VORPANE_USER_VST_DIR "$ENV{HOME}/.vst" CACHE PATH
  "Where `make install` without PREFIX puts Vorpane.so")
set(VORPANE_USER_LV2_DIR "$ENV{HOME}/.lv2" CACHE PATH
  "Where `make install` without PREFIX puts the LV2 bundle vorpane.lv2")

# A plug-in binary is a shared object: readable, not executable.
set(VORPANE_LIBRARY_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Installs a binary target into destination (relative to the prefix, or absolute). Installing
# again replaces the file with a new one instead of rewriting the old one in place: a running
# host keeps its mapping of the old plug-in intact, and a running tool's file is not busy. The
# remaining arguments (COMPONENT, EXCLUDE_FROM_ALL) go to both rules.
function(vorpane_install_binary target destination)
  if(IS_ABSOLUTE "${destination}")
    set(installed "\$ENV{DESTDIR}${destination}/$<TARGET_FILE_NAME:${target}>")
  else()
    set(installed
      "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>")
  endif()
  install(CODE "file(REMOVE \"${installed}\")" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    install(TARGETS ${target} RUNTIME DESTINATION ${destination} ${ARGN})
  else()
    install(TARGETS ${target} LIBRARY DESTINATION ${destination}
      PERMISSIONS ${VORPANE_LIBRARY_PERMISSIONS} ${ARGN})
  endif()
endfunction()

# The two plug-ins: the VST library and the LV2 bundle (its .ttl files, its two binaries and its
# SOFA reader).
function(vorpane_install_plugins vstDir lv2Dir)
  vorpane_install_binary(Vorpane ${vstDir} ${ARGN})
  foreach(binary vorpane_dsp vorpane_ui vorpane-sofa-reader)
    vorpane_install_binary(${binary} ${lv2Dir}/vorpane.lv2 ${ARGN})
  endforeach()
  install(FILES ${VORPANE_LV2_BUNDLE}/manifest.ttl ${VORPANE_LV2_BUNDLE}/vorpane.ttl
    DESTINATION ${lv2Dir}/vorpane.lv2 ${ARGN})
endfunction()

vorpane_install_plugins(${VORPANE_VST_DIR} ${VORPANE_LV2_DIR})
vorpane_install_plugins(${VORPANE_USER_VST_DIR} ${VORPANE_USER_LV2_DIR}
  COMPONENT user EXCLUDE_FROM_ALL)

# The tools a user runs, as the package description lists them.
set(VORPANE_INSTALLED_TOOLS)
foreach(tool vorpane-render vorpane-host)
  if(TARGET ${tool})
    vorpane_install_binary(${tool} ${CMAKE_INSTALL_BINDIR})
    list(APPEND VORPANE_INSTALLED_TOOLS ${tool})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${VORPANE_DOC_DIR})
# Debian looks for the licence under this name.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VORPANE_DOC_DIR} RENAME copyright)
# The pictures the README shows.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${VORPANE_DOC_DIR}/docs
  FILES_MATCHING PATTERN "*.png")
