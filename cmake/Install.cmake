# SPDX-License-Identifier: MIT
# Installation in the GNU layout under CMAKE_INSTALL_PREFIX:
#   bin/                                 benthix, benthix-cli
#   share/benthix/                       statistical tables, templates, pictures (read only)
#   share/doc/benthix/                   README.md, the changelogs, copyright; docs/ the user
#                                        guide with its schema, diagram and screenshot
#   share/applications/, share/metainfo/ desktop entry and AppStream metainfo
#   share/icons/hicolor/                 the program's icon, SVG and PNG 16 to 256 pixels
#   share/man/man1/                      benthix(1), benthix-cli(1)
#   share/bash-completion/completions/   completion of benthix-cli
# The programs find share/benthix from their own folder (src/base/paths.cpp), so an installed
# tree works wherever it is unpacked. The desktop files are made at build time under
# ${PROJECT_BINARY_DIR}/packaging, never in the program folder.

set(CPACK_PACKAGE_CONTACT
    "Benthix maintainers <maintainers@users.noreply.c-seed-d6e73056.example>"
    CACHE STRING "Maintainer of the package: name <e-mail>")
option(BX_DESKTOP_FILES "Make and install the icons, manual pages, desktop entry and metainfo" ON)

set(BX_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/benthix)
set(BX_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/benthix)
set(BX_PACKAGING_SOURCE ${PROJECT_SOURCE_DIR}/packaging)
set(BX_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Programs
install(TARGETS benthix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET benthix)
    install(TARGETS benthix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# What the programs read at run time: the files the build writes into the program folder,
# tables.manifest (the tables' sizes and checksums, checked at every start) among them. The
# report table and anything else a run leaves there is not part of the installation.
get_target_property(bx_table_files benthix_tables BX_OUTPUT_FILES)
install(FILES ${bx_table_files} DESTINATION ${BX_INSTALL_DATADIR})
if(TARGET benthix_pictures)
    get_target_property(bx_picture_files benthix_pictures BX_OUTPUT_FILES)
    install(FILES ${bx_picture_files} DESTINATION ${BX_INSTALL_DATADIR})
endif()

# A release build strips the programs of the sections nothing reads at run time, as Debian's
# packages are (lintian's binary-has-unneeded-section).
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND CMAKE_STRIP)
    install(CODE "
        foreach(program benthix benthix-cli)
            set(path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
            if(EXISTS \"\${path}\")
                execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all
                                --remove-section=.comment --remove-section=.note \"\${path}\"
                                RESULT_VARIABLE status)
                if(NOT status EQUAL 0)
                    message(FATAL_ERROR \"strip \${path} failed\")
                endif()
            endif()
        endforeach()")
endif()

# Documentation: the README and the guide with everything they link to, laid out as in the
# sources so that every link resolves; the licence and the third-party licences in copyright.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${BX_PACKAGING_SOURCE}/copyright
        DESTINATION ${BX_INSTALL_DOCDIR})
# The help window shows the guide's pictures from beside it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/result.schema.json
              ${PROJECT_SOURCE_DIR}/docs/decision-tree.svg ${PROJECT_SOURCE_DIR}/docs/screenshot.png
              ${PROJECT_SOURCE_DIR}/docs/survey-window.png
              ${PROJECT_SOURCE_DIR}/docs/survey-report.png
        DESTINATION ${BX_INSTALL_DOCDIR}/docs)

# lintian's overrides of the package: false findings only, each explained there.
install(FILES ${BX_PACKAGING_SOURCE}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME benthix)

# Shell completion, written by the tool itself from its options.
add_custom_command(OUTPUT ${BX_PACKAGING_DIR}/benthix-cli.bash
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:benthix-cli>
            -DOUTPUT=${BX_PACKAGING_DIR}/benthix-cli.bash
            -P ${PROJECT_SOURCE_DIR}/cmake/CliCompletion.cmake
    DEPENDS benthix-cli ${PROJECT_SOURCE_DIR}/cmake/CliCompletion.cmake
    COMMENT "Writing the bash completion of benthix-cli"
    VERBATIM)
add_custom_target(benthix_completion ALL DEPENDS ${BX_PACKAGING_DIR}/benthix-cli.bash)
install(FILES ${BX_PACKAGING_DIR}/benthix-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        RENAME benthix-cli)

if(NOT BX_DESKTOP_FILES)
    install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md DESTINATION ${BX_INSTALL_DOCDIR})
    return()
endif()

set(bx_desktop_outputs)
find_program(BX_RSVG_CONVERT rsvg-convert)
find_program(BX_HELP2MAN help2man)
find_program(BX_GZIP gzip)
foreach(tool BX_RSVG_CONVERT BX_HELP2MAN BX_GZIP)
    if(NOT ${tool})
        message(FATAL_ERROR "${tool}: not found. scripts/install-deps.sh installs it "
                            "(or configure with -DBX_DESKTOP_FILES=OFF).")
    endif()
endforeach()

if(TARGET benthix)
    # Desktop entry and metainfo
    configure_file(${BX_PACKAGING_SOURCE}/benthix.desktop.in
                   ${BX_PACKAGING_DIR}/${BX_DESKTOP_ID}.desktop @ONLY)
    configure_file(${BX_PACKAGING_SOURCE}/benthix.metainfo.xml.in
                   ${BX_PACKAGING_DIR}/${BX_DESKTOP_ID}.metainfo.xml @ONLY)
    install(FILES ${BX_PACKAGING_DIR}/${BX_DESKTOP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    install(FILES ${BX_PACKAGING_DIR}/${BX_DESKTOP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

    # Icons: the SVG as drawn, and PNGs rendered from it at the sizes desktops look for.
    set(bx_icon_svg ${BX_PACKAGING_SOURCE}/icons/benthix.svg)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${BX_PACKAGING_DIR}/icons/${size}x${size}/${BX_DESKTOP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${BX_PACKAGING_DIR}/icons/${size}x${size}
            COMMAND ${BX_RSVG_CONVERT} --width=${size} --height=${size} --format=png
                    --output=${png} ${bx_icon_svg}
            DEPENDS ${bx_icon_svg}
            COMMENT "Rendering the ${size}x${size} icon"
            VERBATIM)
        list(APPEND bx_desktop_outputs ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    install(FILES ${bx_icon_svg}
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
            RENAME ${BX_DESKTOP_ID}.svg)
endif()

# Manual pages: benthix(1) written by hand, benthix-cli(1) from the tool's own --help.
configure_file(${BX_PACKAGING_SOURCE}/benthix.1.in ${BX_PACKAGING_DIR}/man/benthix.1 @ONLY)
set(bx_man_pages ${BX_PACKAGING_DIR}/man/benthix-cli.1.gz)
if(TARGET benthix)
    list(APPEND bx_man_pages ${BX_PACKAGING_DIR}/man/benthix.1.gz)
endif()
add_custom_command(OUTPUT ${BX_PACKAGING_DIR}/man/benthix-cli.1
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:benthix-cli> -DHELP2MAN=${BX_HELP2MAN}
            -DINCLUDE=${BX_PACKAGING_SOURCE}/benthix-cli.h2m
            -DWORK=${BX_PACKAGING_DIR}/man -DOUTPUT=${BX_PACKAGING_DIR}/man/benthix-cli.1
            -DEPOCH=${BX_RELEASE_EPOCH} -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/CliManPage.cmake
    DEPENDS benthix-cli ${BX_PACKAGING_SOURCE}/benthix-cli.h2m
            ${PROJECT_SOURCE_DIR}/cmake/CliManPage.cmake
    COMMENT "Writing the manual page benthix-cli(1)"
    VERBATIM)
foreach(page benthix benthix-cli)
    add_custom_command(OUTPUT ${BX_PACKAGING_DIR}/man/${page}.1.gz
        COMMAND ${BX_GZIP} -9 -n -f -k ${BX_PACKAGING_DIR}/man/${page}.1
        DEPENDS ${BX_PACKAGING_DIR}/man/${page}.1
        VERBATIM)
endforeach()
install(FILES ${bx_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The changelogs as Debian keeps them: CHANGELOG.md as changelog.gz, and changelog.Debian.gz
# made from it (cmake/DebianChangelog.cmake), both compressed without a time stamp.
set(bx_changelog ${BX_PACKAGING_DIR}/doc/changelog)
set(bx_debian_changelog ${BX_PACKAGING_DIR}/doc/changelog.Debian)
add_custom_command(OUTPUT ${bx_changelog}.gz ${bx_debian_changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BX_PACKAGING_DIR}/doc
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${bx_changelog}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/CHANGELOG.md
            -DOUTPUT=${bx_debian_changelog} -DPACKAGE=benthix -DRELEASE=1
            "-DMAINTAINER=${CPACK_PACKAGE_CONTACT}"
            -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    COMMAND ${BX_GZIP} -9 -n -f ${bx_changelog} ${bx_debian_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    COMMENT "Writing the changelogs of the package"
    VERBATIM)
list(APPEND bx_desktop_outputs ${bx_changelog}.gz ${bx_debian_changelog}.gz)
install(FILES ${bx_changelog}.gz ${bx_debian_changelog}.gz DESTINATION ${BX_INSTALL_DOCDIR})

add_custom_target(benthix_desktop_files ALL DEPENDS ${bx_desktop_outputs} ${bx_man_pages})
