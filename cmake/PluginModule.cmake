# Makes a plug-in module of a MODULE library target, for the VST plug-in and both LV2 binaries
# alike: named as the target (no "lib" prefix), exporting only what the version script `exports`
# (a path relative to the calling folder) lists, and keeping the symbols of the static libraries
# it links to itself. Outside the sanitizer builds it also carries its own C++ runtime and leaves
# no symbol unresolved, so it loads into any host; the sanitizer runtimes are resolved from the
# host process, so those two only hold without them.
function(vorpane_plugin_module target exports)
  get_filename_component(exports ${exports} ABSOLUTE)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
    LINK_DEPENDS ${exports})
  target_link_options(${target} PRIVATE -Wl,--version-script=${exports} -Wl,--exclude-libs,ALL)
  if(NOT VORPANE_SANITIZE AND NOT VORPANE_TSAN)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined)
  endif()
endfunction()
