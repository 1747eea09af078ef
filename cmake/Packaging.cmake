# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it:
#   bin/hamper, bin/hamper-packer
#   lib/hamper-packer/SLC Shared Library.so          (slc/CMakeLists.txt; the loader looks there)
#   share/man/man1/hamper.1.gz, hamper-packer.1.gz
#   share/applications/hamper-packer.desktop, share/icons/hicolor/scalable/apps/hamper-packer.svg
#   share/mime/packages/hamper-packer.xml (the file type application/x-hamper) and its icon
#   share/icons/hicolor/scalable/mimetypes/application-x-hamper.svg
#   share/thumbnailers/hamper-packer.thumbnailer (runs `hamper thumbnail`)
#   share/metainfo/example.harborlantern.HamperPacker.metainfo.xml (what software centres show)
#   share/bash-completion/completions/hamper (printed by `hamper --bash-completion`)
#   share/doc/hamper-packer/copyright, changelog.gz (packaging/)
# The authoring tools (hamper-author, slc-make) make test and demo content in place of the host
# application and the loop maker's own tools, and are not installed; nor are tests or benchmarks.
#
# The loader's installed folder is compiled in from CMAKE_INSTALL_PREFIX, so a package is built
# with the prefix it installs to: the preset "package" (CMakePresets.json) sets /usr, and
# scripts/package builds and checks it.

include(GNUInstallDirs)

install(TARGETS hamper hamper-packer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES app/hamper-packer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/icons/hamper-packer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The desktop's view of Hampers: their file type and its icon, thumbnails of their splash, and the
# program in software centres. Debian's shared-mime-info, desktop-file-utils and hicolor icon
# theme rebuild their caches by trigger, so the package runs nothing when installed.
install(FILES app/hamper-packer.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME hamper-packer.xml)
install(FILES app/icons/application-x-hamper.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(FILES app/hamper-packer.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES app/example.harborlantern.HamperPacker.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages. hamper's is printed by the program from the option definitions its --help shows;
# hamper-packer's is written by hand, with the version and the library's folder filled in.
set(HAMPER_MAN_DIR ${CMAKE_BINARY_DIR}/man)
string(REPLACE "-" "\\-" HAMPER_MAN_SLC_LIBRARY "${HAMPER_SLC_INSTALLED_FOLDER}/SLC Shared Library.so")
configure_file(man/hamper-packer.1.in ${HAMPER_MAN_DIR}/hamper-packer.1 @ONLY)
add_custom_command(
  OUTPUT ${HAMPER_MAN_DIR}/hamper.1 ${HAMPER_MAN_DIR}/hamper.1.gz
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:hamper> -DPAGE=${HAMPER_MAN_DIR}/hamper.1
          -DOUT=${HAMPER_MAN_DIR}/hamper.1.gz -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS hamper ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMENT "Writing the manual page of hamper")
add_custom_command(
  OUTPUT ${HAMPER_MAN_DIR}/hamper-packer.1.gz
  COMMAND ${CMAKE_COMMAND} -DPAGE=${HAMPER_MAN_DIR}/hamper-packer.1 -DOUT=${HAMPER_MAN_DIR}/hamper-packer.1.gz
          -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS ${HAMPER_MAN_DIR}/hamper-packer.1 ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMENT "Compressing the manual page of hamper-packer")
add_custom_target(hamper_man_pages ALL DEPENDS ${HAMPER_MAN_DIR}/hamper.1.gz ${HAMPER_MAN_DIR}/hamper-packer.1.gz)
install(FILES ${HAMPER_MAN_DIR}/hamper.1.gz ${HAMPER_MAN_DIR}/hamper-packer.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# bash completion, printed by hamper from the same option definitions as its --help and manual
# page, where bash-completion loads it when "hamper" is first completed.
set(HAMPER_COMPLETION ${CMAKE_BINARY_DIR}/completion/hamper)
add_custom_command(
  OUTPUT ${HAMPER_COMPLETION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/completion
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:hamper> -DARGUMENT=--bash-completion -DPAGE=${HAMPER_COMPLETION}
          -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS hamper ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMENT "Writing the bash completion of hamper")
add_custom_target(hamper_completion ALL DEPENDS ${HAMPER_COMPLETION})
install(FILES ${HAMPER_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# What Debian asks of every package: the licence in the machine-readable copyright format, and
# the changelog, gzip'd without a time stamp.
set(HAMPER_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/hamper-packer)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${CMAKE_COMMAND} -DPAGE=${PROJECT_SOURCE_DIR}/packaging/changelog
          -DOUT=${CMAKE_BINARY_DIR}/packaging/changelog.gz -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMENT "Compressing the changelog")
add_custom_target(hamper_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${HAMPER_DOC_DIR})

# The Debian package: one package, hamper-packer, of everything above.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hamper-packer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Hamper Packer developers <hamper-packer@harborlantern.example>" CACHE STRING
    "The package's Maintainer field")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "packs Tessel content folders into Hampers (.hmp)")
# CPack puts the summary before this as the description's first line.
set(CPACK_PACKAGE_DESCRIPTION "Hamper Packer turns one content folder for the Tessel music application
(samples, sliced loops, instrument patches, songs, MIDI files, pictures and
description files) into one read-only content bank, a Hamper. Every file is
checked, audio is stored in the lossless VORP code, the references inside songs
and patches are rewritten, and the finished file is read back and verified.
.
The package holds the window program hamper-packer, the command line hamper
(pack, check, verify, list and extract Hampers) and the sliced-loop library.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt, zlib, libjpeg, libtiff, libpng, the C++ runtime), as
# dpkg-shlibdeps finds them with their lowest versions, worked out by cmake/DebianDepends.cmake
# once the files are staged; the window's Help menu opens web pages with xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianDepends.cmake)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# The package installs where the loader was told to look.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
