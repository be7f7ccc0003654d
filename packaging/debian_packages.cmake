# The Debian packages, one per install component, built by CPack (scripts/package.sh).
# Dependencies on system libraries come from dpkg-shlibdeps; those on the platform package
# are written out, since dpkg-shlibdeps knows nothing of a library that is being packaged.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME forecourt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Forecourt developers")
set(CPACK_PACKAGE_CONTACT "Forecourt developers <forecourt@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${forecourt_components})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where dpkg-shlibdeps finds the private libraries the programs link (not in any package
# it knows yet, so they add no dependency of their own).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/platform ${CMAKE_BINARY_DIR}/kestro/automation)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://forecourt.invalid/")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(platform_dependency "forecourt-platform (= ${PROJECT_VERSION})")
foreach(component IN LISTS forecourt_components)
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME forecourt-${component})
  set(CPACK_DEBIAN_${upper}_PACKAGE_SHLIBDEPS ON)
  if(NOT component STREQUAL "platform")
    set(CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS ${platform_dependency})
  endif()
endforeach()

set(CPACK_COMPONENT_BRENKAR_DESCRIPTION
    "forecourt controller configuration backup tool\n"
    "brenkar backs up a forecourt controller's whole configuration (ports, grades,\n"
    "tanks, ZigBee devices, pumps and hoses, sensors, attendants, card clients and\n"
    "products) to an INI file and restores it from one; it also checks a file, and\n"
    "verifies a controller against one.")
set(CPACK_COMPONENT_KESTROD_DESCRIPTION
    "simulated forecourt controller server\n"
    "kestrod serves a station's configuration, kept in SQLite, and its simulated\n"
    "pumps to Kestro clients over TCP; kestroctl drives and watches its forecourt.\n"
    "Includes the forecourt-kestrod service.")
set(CPACK_COMPONENT_TOLVAN_DESCRIPTION
    "pump display control and the tools that host it\n"
    "Tolvan.OCX draws a pump's face, keeps its deliveries and lets a cashier act on\n"
    "the pump; the Kestro client object links it to a controller. regsvr registers\n"
    "them, control-host and forecourt host them, tolvan-face draws them to PNG.")
set(CPACK_COMPONENT_PLATFORM_DESCRIPTION
    "platform layer of the forecourt programs\n"
    "The shared libraries the forecourt programs and modules run on: text, time,\n"
    "locale formats, COM and the registry file, drawing, windows and the display.")
# A description's first line is the package's summary.
foreach(component BRENKAR KESTROD TOLVAN PLATFORM)
  string(JOIN "" text ${CPACK_COMPONENT_${component}_DESCRIPTION})
  set(CPACK_COMPONENT_${component}_DESCRIPTION "${text}")
endforeach()

include(CPack)
