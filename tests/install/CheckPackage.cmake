# cmake -DBUILD=dir -DWORK=dir -DVERSION=x.y.z -P CheckPackage.cmake
# Builds the Debian package as `make deb` does and checks it: the same files as
# `cmake --install` with the prefix /usr, the documentation Debian asks for,
# the library dependencies, and no lintian error (when lintian is installed).
cmake_minimum_required(VERSION 3.25)
find_program(DPKG_DEB dpkg-deb)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DPKG_DEB OR NOT DPKG_SHLIBDEPS)
  message("dpkg-deb or dpkg-shlibdeps is missing: skipped")
  return()
endif()
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND cpack -G DEB -B "${WORK}/package" WORKING_DIRECTORY "${BUILD}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(deb "${WORK}/package/velmora_${VERSION}_amd64.deb")
if(NOT status EQUAL 0 OR NOT EXISTS "${deb}")
  message(FATAL_ERROR "cpack did not make ${deb} (${status}):\n${out}${err}")
endif()

# What the package holds, as paths below /usr without the folders.
execute_process(COMMAND ${DPKG_DEB} --contents "${deb}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REPLACE "\n" ";" listing "${listing}")
set(packaged)
foreach(line IN LISTS listing)
  if(line MATCHES "^[-l][^ ]+ .* \\./(usr/[^ ]+[^/])( -> .*)?$")
    list(APPEND packaged "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^[-l][^ ]+ .* \\./(.*)$")
    message(FATAL_ERROR "the package holds ${CMAKE_MATCH_1}, outside /usr")
  endif()
endforeach()
list(SORT packaged)

# What the install rules lay out for the same prefix.
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK}/root ${CMAKE_COMMAND} --install "${BUILD}" --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${WORK}/root" "${WORK}/root/usr/*")
list(SORT installed)
if(NOT packaged STREQUAL installed)
  message(FATAL_ERROR "the package and the install layout differ:\npackage: ${packaged}\ninstall: ${installed}")
endif()

foreach(file usr/bin/velmora usr/bin/velmora-cli usr/share/doc/velmora/copyright usr/share/doc/velmora/changelog.gz
             usr/share/doc/velmora/velmora3.pdf usr/share/man/man1/velmora.1.gz usr/share/man/man1/velmora-cli.1.gz
             usr/share/velmora/velmora3.pdf usr/share/icons/hicolor/256x256/apps/com.corvanesoftware.Velmora.png)
  if(NOT file IN_LIST packaged)
    message(FATAL_ERROR "the package lacks ${file}")
  endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} --field "${deb}" Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt6widgets6" OR NOT depends MATCHES "libc6")
  message(FATAL_ERROR "dpkg-shlibdeps found no library dependencies: ${depends}")
endif()

find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} --allow-root "${deb}" OUTPUT_VARIABLE report ERROR_VARIABLE report
                  RESULT_VARIABLE status)
  if(report MATCHES "(^|\n)E: ")
    message(FATAL_ERROR "lintian finds errors:\n${report}")
  endif()
endif()
file(REMOVE_RECURSE "${WORK}")
