# CPack pre-build script of the Debian package: sets Depends to what dpkg-shlibdeps finds for the
# programs and the library as they lie in the staging folder.
#
# CPack's own step for this (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) also writes postinst and postrm
# scripts that run ldconfig whenever a shared object lies anywhere below /usr/lib. The sliced-loop
# library lies in a folder of its own and is opened by its path, so ldconfig has nothing to do
# for it, and lintian rightly warns of the calls; without that step the package has no
# maintainer scripts at all.

set(staged "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false "${staged}/*")
set(elf_files)
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    list(APPEND elf_files "${file}")
  endif()
endforeach()
if(NOT elf_files)
  message(FATAL_ERROR "DebianDepends.cmake: no programs in ${staged}")
endif()

# dpkg-shlibdeps wants a source package's debian/control where it runs, and knows the root of the
# package by its DEBIAN folder; both are scratch, removed again before the package is made.
set(scratch "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${scratch}")
file(WRITE "${scratch}/debian/control" "")
file(MAKE_DIRECTORY "${staged}/DEBIAN")
execute_process(
  COMMAND dpkg-shlibdeps -O --ignore-missing-info ${elf_files}
  WORKING_DIRECTORY "${scratch}"
  OUTPUT_VARIABLE shlibs
  ERROR_VARIABLE errors
  RESULT_VARIABLE result)
file(REMOVE_RECURSE "${scratch}" "${staged}/DEBIAN")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-shlibdeps failed (${result}): ${errors}")
endif()
if(errors)
  message(WARNING "dpkg-shlibdeps: ${errors}")
endif()
string(REGEX MATCH "shlibs:Depends=([^\n]*)" found "${shlibs}")
if(NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "dpkg-shlibdeps found no dependencies: ${shlibs}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
