# Run by the uninstall target (cmake --build build --target uninstall): removes
# exactly what the last `cmake --install` put in place, as listed in the build
# folder's install_manifest.txt: every installed file, then every folder the
# install created (entries ending in "/"), deepest first and only when empty.
# Files and folders that were there before the install are left alone.
# Input: MANIFEST (the manifest's path).

if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "nothing to uninstall: ${MANIFEST} does not exist (run cmake --install first)")
endif()
file(STRINGS "${MANIFEST}" entries)
set(folders "")
foreach(entry IN LISTS entries)
  if(entry MATCHES "/$")
    string(REGEX REPLACE "/+$" "" entry "${entry}")
    list(APPEND folders "${entry}")
  elseif(EXISTS "${entry}" OR IS_SYMLINK "${entry}")
    message(STATUS "Removing ${entry}")
    file(REMOVE "${entry}")
  endif()
endforeach()
# Deepest first: a folder's path is a prefix of its subfolders', which sort after it.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(GLOB children LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
    if(children STREQUAL "")
      message(STATUS "Removing ${folder}/")
      file(REMOVE_RECURSE "${folder}")
    endif()
  endif()
endforeach()
file(REMOVE "${MANIFEST}")
