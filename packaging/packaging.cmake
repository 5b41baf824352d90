# The Debian package made by `cpack -G DEB`: what it says about itself, its
# copyright file and changelog, and its dependencies, computed from the binaries.
set(CPACK_PACKAGE_NAME pomelune)
set(CPACK_PACKAGE_CONTACT "Pomelune! maintainers <maintainers@users.noreply.c-seed-f567debe.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "previewer for the animes of character packages")
set(CPACK_PACKAGE_DESCRIPTION [[
Pomelune! loads a character package of a falling-block puzzle game (a
Shift-JIS definition file, *.chP, and the character sheet bitmap it names),
given on the command line or dropped on its window as a file or as an archive
(LHA, ZIP, CAB, ARJ, TAR or RAR), and plays any of its animes frame by frame.
Its tools for the package's author show and change the frame time and loops,
list an anime's patterns and layers with a live preview, check the patterns,
copy the lists as definition lines and reload the bitmap whenever it is saved
again. An anime can be exported as an animated GIF or a sprite sheet, and
command-line modes print a definition as JSON, render frames and check a
definition without a display.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own library that the program and the archiver libraries need, the message
# windows', dpkg-shlibdeps finds in the staged private folder through their
# $ORIGIN search path: no folder of private libraries needs naming.

include(GNUInstallDirs)
# Debian wants the changelog compressed at the highest level, with no name or
# time in the header.
set(doc ${CMAKE_INSTALL_DATADIR}/doc/pomelune)
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  COMMENT "Compressing the changelog")
add_custom_target(pomelune_changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog} DESTINATION ${doc})

include(CPack)
