# Installs the build into scratch folders and checks where the files land: with
# --prefix under <prefix>/lib/vst, <prefix>/lib/lv2, <prefix>/share and <prefix>/bin,
# without one in the (here: scratch) user's ~/.vst, ~/.lv2, ~/.local and $XDG_DATA_HOME folders. After
# each install the uninstall script (what the uninstall target runs) must leave
# the scratch folders exactly as they were: empty. The installed bash completion
# must complete commands, options and parameter names.
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/home")
get_filename_component(SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)

function(hm_uninstall_leaves_empty)
  execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${BUILD_DIR}/install_manifest.txt
                          -P "${SOURCE_DIR}/cmake/UninstallHarmoniform.cmake"
                  RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "uninstall failed (${rc})")
  endif()
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE left LIST_DIRECTORIES true "${folder}/*")
    if(NOT left STREQUAL "")
      message(FATAL_ERROR "uninstall left behind: ${left}")
    endif()
  endforeach()
endfunction()

function(hm_expect_completion words expected)
  execute_process(COMMAND bash -c "source \"$1\"; COMP_WORDS=(${words}); COMP_CWORD=$((\${#COMP_WORDS[@]}-1)); _harmoniform; echo \"\${COMPREPLY[*]}\""
                          completion "${COMPLETION}"
                  OUTPUT_VARIABLE got RESULT_VARIABLE rc)
  string(STRIP "${got}" got)
  if(NOT rc EQUAL 0 OR NOT got STREQUAL "${expected}")
    message(FATAL_ERROR "completing '${words}' gave '${got}', expected '${expected}'")
  endif()
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${SCRATCH}/prefix"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install with --prefix failed (${rc})")
endif()
set(prefix_files "prefix/lib/vst/Harmoniform.so" "prefix/share/Corvanta/Harmoniform/Factory Bank.hmp"
                 "prefix/lib/lv2/Harmoniform.lv2/manifest.ttl" "prefix/lib/lv2/Harmoniform.lv2/Harmoniform.ttl"
                 "prefix/lib/lv2/Harmoniform.lv2/harmoniform-lv2.so" "prefix/lib/lv2/Harmoniform.lv2/presets/Flat.ttl")
if(USER_INSTALL)
  list(APPEND prefix_files "prefix/bin/harmoniform" "prefix/share/man/man1/harmoniform.1"
                           "prefix/share/bash-completion/completions/harmoniform")
endif()
foreach(f IN LISTS prefix_files)
  if(NOT EXISTS "${SCRATCH}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
if(USER_INSTALL)
  set(COMPLETION "${SCRATCH}/prefix/share/bash-completion/completions/harmoniform")
  hm_expect_completion("harmoniform re" "render response")
  hm_expect_completion("harmoniform render in.wav --in" "--in-place")
  hm_expect_completion("harmoniform preset m" "make")
  hm_expect_completion("harmoniform render in.wav --set kBand12Ga" "kBand12Gain=")
  hm_expect_completion("harmoniform render in.wav --format flac2" "flac24")
  file(READ "${SCRATCH}/prefix/share/man/man1/harmoniform.1" man)
  if(NOT man MATCHES "^\\.TH HARMONIFORM 1" OR NOT man MATCHES "\\.SS harmoniform preset make")
    message(FATAL_ERROR "the man page lacks its header or a command's section")
  endif()
endif()
hm_uninstall_leaves_empty("${SCRATCH}/prefix")

# Installing "without a prefix" writes to /usr/local when user installs are off:
# then only the prefix install is checked.
if(NOT USER_INSTALL)
  file(REMOVE_RECURSE "${SCRATCH}")
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH}/home XDG_DATA_HOME=${SCRATCH}/data
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr/local
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install into the user's folders failed (${rc})")
endif()

foreach(f "home/.vst/Harmoniform.so"
          "home/.lv2/Harmoniform.lv2/manifest.ttl"
          "home/.lv2/Harmoniform.lv2/harmoniform-lv2.so"
          "home/.lv2/Harmoniform.lv2/presets/Telephone.ttl"
          "data/Corvanta/Harmoniform/Factory Bank.hmp"
          "home/.local/bin/harmoniform"
          "home/.local/share/man/man1/harmoniform.1"
          "data/bash-completion/completions/harmoniform")
  if(NOT EXISTS "${SCRATCH}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The scratch home existed before the install: only what the install made goes.
hm_uninstall_leaves_empty("${SCRATCH}/home" "${SCRATCH}/data")
file(REMOVE_RECURSE "${SCRATCH}")
