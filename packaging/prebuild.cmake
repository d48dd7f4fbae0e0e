# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack once the install is staged, before the .deb is made: strips the program
# and its sound module as Debian does (their debug symbols kept under psograf-debug/
# beside the package, by build ID), adds the lintian overrides, and puts the packages
# that the two link in front of Depends (dpkg-shlibdeps, as for any Debian package).
# CPack's own dpkg-shlibdeps run is not used: it would also give the package ldconfig
# calls for a module in a folder that is no library directory.
set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(private ${stage}${CPACK_PSOGRAF_PRIVATEDIR})
set(binaries ${private}/psograf ${private}/libpsograf_sound.so)
set(debug ${CPACK_PACKAGE_DIRECTORY}/psograf-debug)
file(REMOVE_RECURSE ${debug})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${status}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

foreach(binary ${binaries})
  if(NOT EXISTS ${binary})
    message(FATAL_ERROR "not staged: ${binary}")
  endif()
  run(readelf -n ${binary})
  if(NOT out MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
    message(FATAL_ERROR "no build ID in ${binary}")
  endif()
  set(symbols ${debug}/.build-id/${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.debug)
  get_filename_component(symbols_dir ${symbols} DIRECTORY)
  file(MAKE_DIRECTORY ${symbols_dir})
  run(objcopy --only-keep-debug --compress-debug-sections ${binary} ${symbols})
  if(binary MATCHES "\\.so$")
    run(strip --remove-section=.comment --remove-section=.note --strip-unneeded ${binary})
  else()
    run(strip --remove-section=.comment --remove-section=.note ${binary})
  endif()
endforeach()

set(overrides ${stage}/usr/share/lintian/overrides)
file(MAKE_DIRECTORY ${overrides})
file(COPY_FILE ${CPACK_PSOGRAF_PACKAGING_DIR}/debian/lintian-overrides ${overrides}/psograf)
file(CHMOD ${overrides}/psograf PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# dpkg-shlibdeps wants a debian/control beside it.
set(work ${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps)
file(REMOVE_RECURSE ${work})
file(WRITE ${work}/debian/control "")
set(arguments)
foreach(binary ${binaries})
  list(APPEND arguments -e${binary})
endforeach()
execute_process(COMMAND dpkg-shlibdeps -O ${arguments} WORKING_DIRECTORY ${work}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT out MATCHES "^shlibs:Depends=(.+)$")
  message(FATAL_ERROR "dpkg-shlibdeps: ${status}\n${out}\n${err}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
