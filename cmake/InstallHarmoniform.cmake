# Run by `cmake --install`: puts the plug-in where Linux hosts look for VST 2.4
# plug-ins and the factory bank where new instances look for it.
#
# Without a prefix (the install prefix is CMake's default /usr/local and
# HARMONIFORM_USER_INSTALL is on) everything goes to the current user's folders, which need no privileges and which every host searches:
#   ~/.vst/Harmoniform.so
#   $XDG_DATA_HOME/Corvanta/Harmoniform/Factory Bank.hmp   (XDG_DATA_HOME: ~/.local/share)
#   ~/.local/bin/harmoniform
# With a prefix (configure with -DCMAKE_INSTALL_PREFIX or install with --prefix):
#   <prefix>/lib/vst/Harmoniform.so
#   <prefix>/share/Corvanta/Harmoniform/Factory Bank.hmp
#   <prefix>/bin/harmoniform
# DESTDIR is honoured (file(INSTALL) prepends it).
#
# Inputs: HM_PLUGIN_FILE, HM_TOOL_FILE (may be empty), HM_FACTORY_BANK, HM_USER_INSTALL.

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
  set(hm_bank_dir "${hm_data}/Corvanta/Harmoniform")
  set(hm_bin_dir "${hm_home}/.local/bin")
else()
  set(hm_vst_dir "${CMAKE_INSTALL_PREFIX}/lib/vst")
  set(hm_bank_dir "${CMAKE_INSTALL_PREFIX}/share/Corvanta/Harmoniform")
  set(hm_bin_dir "${CMAKE_INSTALL_PREFIX}/bin")
endif()

file(INSTALL "${HM_PLUGIN_FILE}" DESTINATION "${hm_vst_dir}" TYPE SHARED_LIBRARY)
file(INSTALL "${HM_FACTORY_BANK}" DESTINATION "${hm_bank_dir}")
if(HM_TOOL_FILE)
  file(INSTALL "${HM_TOOL_FILE}" DESTINATION "${hm_bin_dir}" TYPE PROGRAM)
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
