# The Debian package, made by CPack from any configured build folder:
#   cpack -G DEB            (or scripts/package.sh, which builds first)
# It installs the three programs into /usr/bin, the shipped files into
# /usr/share/sollumen, and the desktop entry, icons, document type, AppStream
# metadata and manual pages where the desktop looks for them. Its
# dependencies are computed from the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)

# Debian's copyright and changelog, where lintian expects them; the
# changelog is compressed at build time, as policy wants.
set(SOLLUMEN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/sollumen)
set(SOLLUMEN_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${SOLLUMEN_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/cmake/debian/changelog > ${SOLLUMEN_CHANGELOG}
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/debian/changelog
  COMMENT "Compressing the package's changelog")
add_custom_target(sollumen_changelog ALL DEPENDS ${SOLLUMEN_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${SOLLUMEN_CHANGELOG}
        DESTINATION ${SOLLUMEN_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sollumen)
set(CPACK_PACKAGE_VENDOR "The Sollumen developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Sollumen developers <developers@sollumen.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "orrery: the Sun, planets, moons and asteroids at any instant")
set(CPACK_PACKAGE_DESCRIPTION
"Sollumen shows the solar system at any instant from the year -2000 to 6000:
the Sun, the nine planets, the Moon, 21 satellites of Jupiter, Saturn and
Uranus, asteroids and comets from Minor Planet Center element tables, and
spacecraft on tabulated trajectories, projected on an ecliptic plane or in
a rotatable 3D view. It animates the instant, draws orbits and construction
lines, shows positions and orbital elements of any body in a monitor,
keeps a rich-text description with each simulation, prints the view and
exports it as a PNG or BMP image.

The package holds the program, sollumen-cli (its computations and pictures
on the command line) and tessaloader (which fills minor-body tables from
the Minor Planet Center's element files), with a table of nearly nine
thousand minor bodies.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SOLLUMEN_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 and offscreen platform plugins come with libqt6gui6, which the
# binaries link; on Wayland Qt's own plugin is better than XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-liberation")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

include(CPack)
