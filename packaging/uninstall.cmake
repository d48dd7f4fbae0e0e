# SPDX-License-Identifier: GPL-3.0-or-later
# Removes what `cmake --install` put in place (cmake --build <build> --target uninstall,
# with the DESTDIR the install had): every file install_manifest.txt lists, then each
# folder that leaves empty, up to the prefix's common folders (bin, share/icons, ...),
# which stay.
#   cmake -DMANIFEST=<build>/install_manifest.txt -DPREFIX=<prefix> -P uninstall.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "${MANIFEST} not found: nothing was installed from this build")
endif()
set(root "$ENV{DESTDIR}${PREFIX}")
set(kept "${root}")
foreach(common bin lib share share/applications share/icons share/metainfo share/man
               share/man/man1 share/doc)
  list(APPEND kept "${root}/${common}")
endforeach()

file(STRINGS "${MANIFEST}" files)
set(folders)
foreach(file IN LISTS files)
  set(path "$ENV{DESTDIR}${file}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
  get_filename_component(folder "${path}" DIRECTORY)
  list(APPEND folders "${folder}")
endforeach()

# Each folder a file was in, and up from there while empty.
list(REMOVE_DUPLICATES folders)
foreach(folder IN LISTS folders)
  while(IS_DIRECTORY "${folder}" AND NOT folder IN_LIST kept)
    file(GLOB entries LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
    if(entries)
      break()
    endif()
    file(REMOVE_RECURSE "${folder}") # empty

    message(STATUS "Removing ${folder}/")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
