# A Debian package of the installed tree (scripts/package builds it). The
# libraries the programs link are found by dpkg-shlibdeps; what they load at
# run time without linking it is named here: the GStreamer plugin sets that
# read and write the formats, a font for the texts, and xdg-utils for Help
# and the home page.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reelcast)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop video converter")
set(CPACK_PACKAGE_DESCRIPTION
  "Reelcast converts one video into Windows Media (WMV/ASF), AVI, Matroska or\n\
MP4: open a video, choose the output options, press Convert.\n\
reelcast-convert does the same from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Whoever builds the package maintains it: named as Debian's own tools name
# them (DEBFULLNAME, DEBEMAIL), or as the local user of this machine.
set(name "$ENV{DEBFULLNAME}")
if(name STREQUAL "")
  set(name "Reelcast builder")
endif()
set(mail "$ENV{DEBEMAIL}")
if(mail STREQUAL "")
  set(user "$ENV{USER}")
  if(user STREQUAL "")
    set(user root)
  endif()
  cmake_host_system_information(RESULT host QUERY HOSTNAME)
  set(mail "${user}@${host}")
endif()
set(maintainer "${name} <${mail}>")
set(REELCAST_PACKAGE_MAINTAINER "${maintainer}" CACHE STRING "The Maintainer of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${REELCAST_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_STRIP_FILES ON)
include(CPack)
