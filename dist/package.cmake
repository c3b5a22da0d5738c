# The Debian package: korvane_<version>_amd64.deb, by `cpack -G DEB` in the
# build tree (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT ${KORVANE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the machine that builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KORVANE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries by dpkg-shlibdeps; the Chinese text needs a CJK font (a Song
# face first); Qt's own dialogs speak Chinese with its translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "watch machines learn to fly a lifeboat out of a meteor field
An escape lifeboat must get out of a meteor field: gravity pulls it down,
and it can only thrust up, down, left or right. Korvane lets one fly it by
hand, let a genetic algorithm search a flight plan, train a small neural
network by evolving its weights, or let the network repair the plans that
crash, and watch each search generation by generation.
.
korvane-cli runs the same engine without a window and flies whole
experiments. Every run is reproducible from its seed.")

include(CPack)
