# Installs the build twice into scratch folders and checks where the files land:
# with --prefix under <prefix>/lib/vst and <prefix>/share, without one in the
# (here: scratch) user's ~/.vst and $XDG_DATA_HOME bank folder.
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/home")

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${SCRATCH}/prefix"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install with --prefix failed (${rc})")
endif()
# Installing "without a prefix" writes to /usr/local when user installs are off:
# then only the prefix install is checked.
if(NOT USER_INSTALL)
  foreach(f "prefix/lib/vst/Harmoniform.so" "prefix/share/Corvanta/Harmoniform/Factory Bank.hmp")
    if(NOT EXISTS "${SCRATCH}/${f}")
      message(FATAL_ERROR "not installed: ${f}")
    endif()
  endforeach()
  file(REMOVE_RECURSE "${SCRATCH}")
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH}/home XDG_DATA_HOME=${SCRATCH}/data
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr/local
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install into the user's folders failed (${rc})")
endif()

foreach(f "prefix/lib/vst/Harmoniform.so"
          "prefix/share/Corvanta/Harmoniform/Factory Bank.hmp"
          "prefix/bin/harmoniform"
          "home/.vst/Harmoniform.so"
          "data/Corvanta/Harmoniform/Factory Bank.hmp"
          "home/.local/bin/harmoniform")
  if(NOT EXISTS "${SCRATCH}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
