# The Debian package that `scripts/package` builds with `cpack -G DEB`: the programs, the udev
# rule, the desktop entry and the icon under /usr, with the runtime libraries declared as
# dependencies so that `apt install ./kelpira_*.deb` brings them in.
set(CPACK_PACKAGE_NAME kelpira)
set(CPACK_PACKAGE_VENDOR "Kelpira developers")
set(CPACK_PACKAGE_CONTACT "Kelpira developers <kelpira@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Desktop companion of the KELPIRA lab-on-chip ocean sensor")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds KELPIRA sensors on USB, configures them, programs their state machine, runs them \
and shows their data live, reads their logs, upgrades their firmware and turns their raw \
files into concentrations. Includes kelpira-process (batch processing) and \
kelpira-virtual-sensor (emulated sensors for training and demonstrations).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link, found by dpkg-shlibdeps, plus what is loaded at run time:
# Qt's platform plugins and the SVG plugins that draw the icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The netCDF library is loaded when a NetCDF file is first written, not linked, so
# dpkg-shlibdeps does not see it: the package that holds the file the build found is named.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, udev")
execute_process(COMMAND dpkg-query -S ${KELPIRA_NETCDF_REAL_FILE} OUTPUT_VARIABLE netcdf_owner
                ERROR_QUIET)
if(netcdf_owner MATCHES "^([^:,]+)")
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${CMAKE_MATCH_1}")
else()
  message(WARNING "no Debian package holds ${KELPIRA_NETCDF_REAL_FILE}: a package built here "
                  "will not depend on the netCDF library")
endif()
include(CPack)
