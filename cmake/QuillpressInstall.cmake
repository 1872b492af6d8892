# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts under the prefix, and the Debian package made of the same files by CPack.
# Only the two programs and their documentation are installed: the static libraries, the tests, the
# benchmarks and the fuzz targets have no install rules.
include(GNUInstallDirs)
# Installing and packaging need the two programs only, not the tests and benchmarks of the whole build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS quillpress kovadump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages are installed compressed, as Debian packages carry them (-n keeps the date out of the file).
# They are compressed when CMake configures, and again whenever a page changes.
set(manual_pages)
foreach(page quillpress.1 kovadump.1)
  set(source ${PROJECT_SOURCE_DIR}/doc/man/${page})
  set(compressed ${PROJECT_BINARY_DIR}/doc/man/${page}.gz)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/doc/man)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${compressed} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  list(APPEND manual_pages ${compressed})
endforeach()
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The changelog goes with the documentation, compressed as a Debian package carries it.
set(changelog ${PROJECT_BINARY_DIR}/doc/changelog.gz)
execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/doc/changelog OUTPUT_FILE ${changelog}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress doc/changelog")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/changelog)
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/doc/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# One completion file serves both programs; bash-completion loads a command's completion from the file of
# that command's name, so it is installed under both.
set(completion ${PROJECT_SOURCE_DIR}/doc/bash-completion/quillpress)
install(FILES ${completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kovadump)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillpress)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line e-book compiler for the KOVA format")
set(CPACK_PACKAGE_DESCRIPTION "quillpress compiles an OPF package, a single HTML page or an ePub archive
into one book file in the KOVA format. kovadump, the companion inspector,
reads a book back and reports what a reader would see.")
# Whoever builds the package names themselves here (-DQUILLPRESS_PACKAGE_MAINTAINER="Name <address>").
set(QUILLPRESS_PACKAGE_MAINTAINER "quillpress maintainers <quillpress@orvane.example>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${QUILLPRESS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLPRESS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
# The runtime dependencies are read from the libraries the programs link (dpkg-shlibdeps), not listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
