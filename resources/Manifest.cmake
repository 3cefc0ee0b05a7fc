# The application manifest of a program, embedded as resource 1 of type 24.
#
# What it declares, and what it leaves out on purpose:
# - requireAdministrator: Setup writes to Program Files, HKEY_LOCAL_MACHINE
#   and the controls' class registration, Uninstall deletes them again. Run
#   without the rights, Windows would redirect those writes into the user's
#   virtual store, and the installation would work for that user alone.
#   Declaring any level also ends Windows' guess from the file name.
# - supportedOS from Vista to Windows 10 and 11 (one Id serves both).
# - trustInfo and compatibility each declare their one namespace on the
#   element itself: Windows XP ignores elements of namespaces it does not
#   know, rejects a trustInfo in the assembly's own namespace ("application
#   configuration is incorrect"), and XP SP2 restarts when an element carries
#   two declarations of one namespace.
# - No DPI awareness: the skinned controls, the progress bar's pixel steps and
#   the background's picture fit are drawn in pixels and were made at 96 dpi;
#   Windows scales an unaware program's windows as a whole, so they keep
#   their proportions at any setting.
# - No dependency on Common Controls 6: its visual styles would change how
#   the dialogs look.
#
#   ts_embed_manifest(TARGET NAME VERSION DESCRIPTION)
function(ts_embed_manifest target name version description)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(TS_MANIFEST_ARCH amd64)
  else()
    set(TS_MANIFEST_ARCH x86)
  endif()
  set(TS_MANIFEST_NAME ${name})
  set(TS_MANIFEST_VERSION ${version})
  set(TS_MANIFEST_DESCRIPTION ${description})
  set(dir ${CMAKE_BINARY_DIR}/manifests)
  set(TS_MANIFEST_FILE ${dir}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/resources/manifest.xml.in ${TS_MANIFEST_FILE} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/resources/manifest.rc.in ${dir}/${target}.manifest.rc @ONLY)
  set_source_files_properties(${dir}/${target}.manifest.rc PROPERTIES OBJECT_DEPENDS ${TS_MANIFEST_FILE})
  target_sources(${target} PRIVATE ${dir}/${target}.manifest.rc)
endfunction()
