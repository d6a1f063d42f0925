# cmake -DMANIFEST=<build folder>/install_manifest.txt -P cmake/uninstall.cmake
#
# Removes every file the last install listed in its manifest, and nothing
# else. Folders stay, even when left empty: the install may have found them
# there, and the manifest does not say.
if(NOT MANIFEST)
  message(FATAL_ERROR "usage: cmake -DMANIFEST=<build folder>/install_manifest.txt -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} is missing (make install writes it).")
endif()

file(STRINGS "${MANIFEST}" installed)
set(kept)
foreach(file IN LISTS installed)
  if(IS_DIRECTORY "${file}" AND NOT IS_SYMLINK "${file}")
    list(APPEND kept "${file}")
  elseif(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Removing: ${file}")
    file(REMOVE "${file}")
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
      list(APPEND kept "${file}")
    endif()
  else()
    message(STATUS "Already gone: ${file}")
  endif()
endforeach()
if(kept)
  list(JOIN kept "\n  " kept)
  message(FATAL_ERROR "Could not remove:\n  ${kept}")
endif()
