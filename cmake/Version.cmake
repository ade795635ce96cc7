# SPDX-License-Identifier: MIT
# The release of this build: PROJECT_VERSION and BX_RELEASE_DATE (year-month-day) from the
# top-level CMakeLists.txt become
#   BX_RELEASE_DATE_TEXT   the date as people read it ("December 6, 2026"),
#   BX_RELEASE_EPOCH       the start of that day in seconds since 1970 (UTC),
#   BX_DESKTOP_ID          the name of the desktop entry, the icon and the metainfo,
#   base/version.h         the same for the programs, under BX_GENERATED_INCLUDE_DIR,
#   BX_INSTALLED_DATA_FROM_BINARY  where an installed program finds its tables, relative to
#                          the folder of its executables.

if(NOT BX_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "BX_RELEASE_DATE must be year-month-day, e.g. 2026-12-06 (is '${BX_RELEASE_DATE}')")
endif()
set(bx_year ${CMAKE_MATCH_1})
math(EXPR bx_month "${CMAKE_MATCH_2}")
math(EXPR bx_day "${CMAKE_MATCH_3}")
if(bx_month LESS 1 OR bx_month GREATER 12 OR bx_day LESS 1 OR bx_day GREATER 31)
    message(FATAL_ERROR "BX_RELEASE_DATE is not a date: ${BX_RELEASE_DATE}")
endif()
set(bx_month_names January February March April May June July August September October
    November December)
math(EXPR bx_month_index "${bx_month} - 1")
list(GET bx_month_names ${bx_month_index} bx_month_name)
set(BX_RELEASE_DATE_TEXT "${bx_month_name} ${bx_day}, ${bx_year}")

# The release day as seconds since 1970-01-01 UTC, for tools that date what they write from
# SOURCE_DATE_EPOCH (the manual pages): days from the civil date, counted in 400-year eras.
if(bx_month LESS_EQUAL 2)
    math(EXPR bx_y "${bx_year} - 1")
    math(EXPR bx_m "${bx_month} + 9")
else()
    set(bx_y ${bx_year})
    math(EXPR bx_m "${bx_month} - 3")
endif()
math(EXPR bx_era "${bx_y} / 400")
math(EXPR bx_yoe "${bx_y} - ${bx_era} * 400")
math(EXPR bx_doy "(153 * ${bx_m} + 2) / 5 + ${bx_day} - 1")
math(EXPR bx_doe "${bx_yoe} * 365 + ${bx_yoe} / 4 - ${bx_yoe} / 100 + ${bx_doy}")
math(EXPR BX_RELEASE_EPOCH "(${bx_era} * 146097 + ${bx_doe} - 719468) * 86400")

# The reverse-DNS name desktops and software centres know the program by. It names the files
# in share/applications, share/metainfo and share/icons; changing it later loses the users'
# menu favourites, so it stays as it is once released.
set(BX_DESKTOP_ID "org.benthix.Benthix" CACHE STRING
    "Name of the desktop entry, icon and metainfo (reverse DNS)")

file(RELATIVE_PATH BX_INSTALLED_DATA_FROM_BINARY "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/benthix")

set(BX_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/src/base/version.h.in
               ${BX_GENERATED_INCLUDE_DIR}/base/version.h @ONLY)
