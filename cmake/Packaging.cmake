# Everything a desktop install carries besides the two executables (desktop entry, icons, AppStream
# data, man page, Debian documentation), and the Debian package made of it with CPack.
#   cmake --preset release -DBRISKLET_RELEASE_PACKAGE=ON && cmake --build --preset release
#   cd build/release && cpack -G DEB           (scripts/package does all of it and runs lintian)

include(GNUInstallDirs)

option(BRISKLET_RELEASE_PACKAGE "Install the update information, so the installed application offers updates" OFF)
set(BRISKLET_UPDATE_REPOSITORY "" CACHE STRING "owner/name of the repository whose releases the updater follows (none when empty)")
set(BRISKLET_UPDATE_FEED_URL "" CACHE STRING "Address of a release feed the updater reads instead of the repository's (none when empty)")
set(BRISKLET_PACKAGE_MAINTAINER "Brisklet developers <maintainers@brisklet.invalid>" CACHE STRING
    "Maintainer field of the Debian package and its changelog: Name <address>")
# The day this version was released: the AppStream release entry and the Debian changelog say it.
set(BRISKLET_RELEASE_DATE "2026-12-07")

# The updater picks the release asset built for this machine's architecture.
find_program(BRISKLET_DPKG dpkg)
if(BRISKLET_DPKG)
    execute_process(COMMAND ${BRISKLET_DPKG} --print-architecture OUTPUT_VARIABLE BRISKLET_DEB_ARCHITECTURE
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
    set(BRISKLET_DEB_ARCHITECTURE amd64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(BRISKLET_DEB_ARCHITECTURE arm64)
else()
    set(BRISKLET_DEB_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
endif()

set(BRISKLET_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)

# --- desktop entry, login-item template, AppStream data --------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/resources/com.brisklet.Brisklet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# What the login item writes for the installed executable (the quoting is the login item's own).
set(BRISKLET_AUTOSTART_EXEC "\"${CMAKE_INSTALL_FULL_BINDIR}/brisklet\"")
configure_file(${PROJECT_SOURCE_DIR}/resources/brisklet-autostart.desktop.in ${BRISKLET_PACKAGING_DIR}/brisklet.desktop @ONLY)
install(FILES ${BRISKLET_PACKAGING_DIR}/brisklet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/brisklet/autostart)

if(BRISKLET_PROJECT_URL)
    set(BRISKLET_METAINFO_URL "  <url type=\"homepage\">${BRISKLET_PROJECT_URL}</url>\n")
else()
    set(BRISKLET_METAINFO_URL "")
endif()
configure_file(${PROJECT_SOURCE_DIR}/resources/com.brisklet.Brisklet.metainfo.xml.in
               ${BRISKLET_PACKAGING_DIR}/com.brisklet.Brisklet.metainfo.xml @ONLY)
install(FILES ${BRISKLET_PACKAGING_DIR}/com.brisklet.Brisklet.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- icons: the SVG as it is, and PNGs rendered from it for desktops that want bitmaps -------------
set(BRISKLET_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/icons/brisklet.svg)
install(FILES ${BRISKLET_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(BRISKLET_RSVG_CONVERT rsvg-convert)
set(BRISKLET_DATA_OUTPUTS "")
if(BRISKLET_RSVG_CONVERT)
    foreach(size 16 22 24 32 48 64 128 256 512)
        set(png ${BRISKLET_PACKAGING_DIR}/icons/${size}x${size}/brisklet.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${BRISKLET_PACKAGING_DIR}/icons/${size}x${size}
            COMMAND ${BRISKLET_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${BRISKLET_ICON_SVG}
            DEPENDS ${BRISKLET_ICON_SVG}
            COMMENT "Rendering the ${size}x${size} icon")
        list(APPEND BRISKLET_DATA_OUTPUTS ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
elseif(BRISKLET_RELEASE_PACKAGE)
    message(FATAL_ERROR "rsvg-convert (librsvg2-bin) is needed to render the package's icons; run scripts/install-deps")
else()
    message(STATUS "rsvg-convert not found: installs carry only the scalable icon")
endif()

# --- man page and Debian documentation, compressed the reproducible way (no name, no time) --------
function(brisklet_gzip input output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9n -c ${input} > ${output}
        DEPENDS ${input}
        COMMENT "Compressing ${output}")
endfunction()

set(BRISKLET_MAN_PAGE ${BRISKLET_PACKAGING_DIR}/brisklet.1.gz)
brisklet_gzip(${PROJECT_SOURCE_DIR}/docs/brisklet.1 ${BRISKLET_MAN_PAGE})
install(FILES ${BRISKLET_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(BRISKLET_DEBIAN_REVISION 1)
set(BRISKLET_DEBIAN_VERSION ${PROJECT_VERSION}-${BRISKLET_DEBIAN_REVISION})
execute_process(COMMAND date -u -R -d "${BRISKLET_RELEASE_DATE} 12:00:00" OUTPUT_VARIABLE BRISKLET_CHANGELOG_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in ${BRISKLET_PACKAGING_DIR}/changelog.Debian @ONLY)
set(BRISKLET_CHANGELOG ${BRISKLET_PACKAGING_DIR}/changelog.Debian.gz)
brisklet_gzip(${BRISKLET_PACKAGING_DIR}/changelog.Debian ${BRISKLET_CHANGELOG})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${BRISKLET_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brisklet)

list(APPEND BRISKLET_DATA_OUTPUTS ${BRISKLET_MAN_PAGE} ${BRISKLET_CHANGELOG})
add_custom_target(brisklet-desktop-data ALL DEPENDS ${BRISKLET_DATA_OUTPUTS})

# --- update information: only a release package offers updates; a build from source has none -----
foreach(value IN ITEMS "${BRISKLET_UPDATE_REPOSITORY}" "${BRISKLET_UPDATE_FEED_URL}")
    if(value MATCHES "[\"\\\\\n\r\t]")
        message(FATAL_ERROR "the update repository and feed address cannot hold quotes, backslashes or line breaks: ${value}")
    endif()
endforeach()
if(BRISKLET_UPDATE_REPOSITORY AND NOT BRISKLET_UPDATE_REPOSITORY MATCHES "^[A-Za-z0-9_.-]+/[A-Za-z0-9_.-]+$")
    message(FATAL_ERROR "BRISKLET_UPDATE_REPOSITORY must be owner/name, not '${BRISKLET_UPDATE_REPOSITORY}'")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/update-info.json.in ${BRISKLET_PACKAGING_DIR}/update-info.json @ONLY)
if(BRISKLET_RELEASE_PACKAGE)
    install(FILES ${BRISKLET_PACKAGING_DIR}/update-info.json DESTINATION ${CMAKE_INSTALL_DATADIR}/brisklet)
endif()

# --- the Debian package -----------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisklet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_CONTACT "${BRISKLET_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BRISKLET_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen capture, annotation and visual memory for the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Brisklet lives in the system tray and takes region, window and full-screen
screenshots from global hotkeys. Screenshots open in an annotation editor
(arrows, shapes, text, numbered markers, highlighter, redaction and decorative
backgrounds). It also makes scrolling captures and GIF and H.264 video
recordings, recognises and translates text offline, pins screenshots and texts
above every window, and keeps everything captured or copied in a searchable
visual memory. Every engine is scriptable from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BRISKLET_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${BRISKLET_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(BRISKLET_PROJECT_URL)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BRISKLET_PROJECT_URL}")
endif()
# Libraries come from dpkg-shlibdeps; these are what it cannot see: Qt's X11 platform plugin, the
# libdbus `brisklet action` opens at run time, the accessibility bus, Tesseract's language data,
# xdg-open, and pkexec for updates.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libdbus-1-3, at-spi2-core, tesseract-ocr-eng, tesseract-ocr-chi-sim, xdg-utils, pkexec")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "apertium, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "imagemagick")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
include(CPack)
