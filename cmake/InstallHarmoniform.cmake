# Run by `cmake --install`: puts the plug-in where Linux hosts look for VST 2.4
# plug-ins and the factory bank where new instances look for it.
#
# Without a prefix (the install prefix is CMake's default /usr/local and
# HARMONIFORM_USER_INSTALL is on) everything goes to the current user's folders, which need no privileges and which every host searches:
#   ~/.vst/Harmoniform.so
#   ~/.lv2/Harmoniform.lv2/                    (the LV2 bundle: Turtle, library and presets)
#   $XDG_DATA_HOME/Corvanta/Harmoniform/Factory Bank.hmp   (XDG_DATA_HOME: ~/.local/share)
#   ~/.local/bin/harmoniform                   (~/.local/bin must be on PATH)
#   ~/.local/share/man/man1/harmoniform.1      (man finds it through ~/.local/bin on PATH)
#   $XDG_DATA_HOME/bash-completion/completions/harmoniform
# With a prefix (configure with -DCMAKE_INSTALL_PREFIX or install with --prefix):
#   <prefix>/lib/vst/Harmoniform.so
#   <prefix>/lib/lv2/Harmoniform.lv2/
#   <prefix>/share/Corvanta/Harmoniform/Factory Bank.hmp
#   <prefix>/bin/harmoniform
#   <prefix>/share/man/man1/harmoniform.1
#   <prefix>/share/bash-completion/completions/harmoniform
# DESTDIR is honoured (file(INSTALL) prepends it).
#
# Every folder the install creates is listed in the install manifest too (with a
# trailing "/"), so that the uninstall target removes exactly what was put in place.
#
# Inputs: HM_PLUGIN_FILE, HM_LV2_BUNDLE (the built bundle folder), HM_TOOL_FILE (may be empty), HM_MAN_PAGE and HM_COMPLETION
# (the tool's generated documentation, empty without the tool), HM_FACTORY_BANK,
# HM_USER_INSTALL.

set(hm_user_install OFF)
if(HM_USER_INSTALL AND CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(hm_user_install ON)
endif()

if(hm_user_install)
  set(hm_home "$ENV{HOME}")
  if(NOT hm_home MATCHES "^/")
    message(FATAL_ERROR "HOME is not set to an absolute path: cannot install into the user's folders. "
                        "Give a prefix (cmake --install <build> --prefix DIR) instead.")
  endif()
  # Relative or empty XDG variables are ignored, as the plug-in itself ignores them.
  set(hm_data "$ENV{XDG_DATA_HOME}")
  if(NOT hm_data MATCHES "^/")
    set(hm_data "${hm_home}/.local/share")
  endif()
  set(hm_vst_dir "${hm_home}/.vst")
  set(hm_lv2_dir "${hm_home}/.lv2")
  set(hm_bank_dir "${hm_data}/Corvanta/Harmoniform")
  set(hm_bin_dir "${hm_home}/.local/bin")
  set(hm_man_dir "${hm_home}/.local/share/man/man1")
  set(hm_completion_dir "${hm_data}/bash-completion/completions")
else()
  set(hm_vst_dir "${CMAKE_INSTALL_PREFIX}/lib/vst")
  set(hm_lv2_dir "${CMAKE_INSTALL_PREFIX}/lib/lv2")
  set(hm_bank_dir "${CMAKE_INSTALL_PREFIX}/share/Corvanta/Harmoniform")
  set(hm_bin_dir "${CMAKE_INSTALL_PREFIX}/bin")
  set(hm_man_dir "${CMAKE_INSTALL_PREFIX}/share/man/man1")
  set(hm_completion_dir "${CMAKE_INSTALL_PREFIX}/share/bash-completion/completions")
endif()

# Records the folders that installing into `dir` creates (a macro: the manifest
# list lives in the calling install script's scope).
macro(hm_note_new_folders dir)
  set(hm_folder "$ENV{DESTDIR}${dir}")
  while(NOT hm_folder STREQUAL "" AND NOT hm_folder STREQUAL "/" AND NOT EXISTS "${hm_folder}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${hm_folder}/")
    get_filename_component(hm_folder "${hm_folder}" DIRECTORY)
  endwhile()
endmacro()

hm_note_new_folders("${hm_vst_dir}")
file(INSTALL "${HM_PLUGIN_FILE}" DESTINATION "${hm_vst_dir}" TYPE SHARED_LIBRARY)
if(HM_LV2_BUNDLE)
  foreach(part manifest.ttl Harmoniform.ttl harmoniform-lv2.so)
    if(NOT EXISTS "${HM_LV2_BUNDLE}/${part}")
      message(FATAL_ERROR "${HM_LV2_BUNDLE}/${part} is missing: build everything (cmake --build build) before installing")
    endif()
  endforeach()
  hm_note_new_folders("${hm_lv2_dir}/Harmoniform.lv2/presets")
  file(INSTALL "${HM_LV2_BUNDLE}/manifest.ttl" "${HM_LV2_BUNDLE}/Harmoniform.ttl"
       DESTINATION "${hm_lv2_dir}/Harmoniform.lv2")
  file(INSTALL "${HM_LV2_BUNDLE}/harmoniform-lv2.so" DESTINATION "${hm_lv2_dir}/Harmoniform.lv2" TYPE SHARED_LIBRARY)
  # The factory programs as presets, listed in manifest.ttl.
  file(GLOB hm_presets "${HM_LV2_BUNDLE}/presets/*.ttl")
  file(INSTALL ${hm_presets} DESTINATION "${hm_lv2_dir}/Harmoniform.lv2/presets")
endif()
hm_note_new_folders("${hm_bank_dir}")
file(INSTALL "${HM_FACTORY_BANK}" DESTINATION "${hm_bank_dir}")
if(HM_TOOL_FILE)
  hm_note_new_folders("${hm_bin_dir}")
  file(INSTALL "${HM_TOOL_FILE}" DESTINATION "${hm_bin_dir}" TYPE PROGRAM)
  foreach(doc "${HM_MAN_PAGE}" "${HM_COMPLETION}")
    if(NOT EXISTS "${doc}")
      message(FATAL_ERROR "${doc} is missing: build everything (cmake --build build) before installing")
    endif()
  endforeach()
  hm_note_new_folders("${hm_man_dir}")
  file(INSTALL "${HM_MAN_PAGE}" DESTINATION "${hm_man_dir}")
  hm_note_new_folders("${hm_completion_dir}")
  file(INSTALL "${HM_COMPLETION}" DESTINATION "${hm_completion_dir}" RENAME harmoniform)
endif()

if(NOT hm_user_install)
  # New instances search $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
  set(hm_dirs "$ENV{XDG_DATA_DIRS}")
  if(hm_dirs STREQUAL "")
    set(hm_dirs "/usr/local/share:/usr/share")
  endif()
  string(REPLACE ":" ";" hm_dirs "${hm_dirs}")
  list(TRANSFORM hm_dirs REPLACE "/+$" "")
  list(FIND hm_dirs "${CMAKE_INSTALL_PREFIX}/share" hm_found)
  if(hm_found EQUAL -1)
    message(STATUS "Harmoniform: add ${CMAKE_INSTALL_PREFIX}/share to XDG_DATA_DIRS so new instances find the factory bank")
  endif()
endif()
