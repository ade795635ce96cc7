# SPDX-License-Identifier: MIT
# Writes the manual page benthix-cli(1) with help2man from the tool's own --help and
# --version, with the hand-written sections of packaging/benthix-cli.h2m, a COMMANDS section
# holding the --help of each command and one EXIT STATUS section made from the exit statuses
# that every --help ends with (taken out of the help texts, so that they show once).
#   cmake -DCLI=<benthix-cli> -DHELP2MAN=<help2man> -DINCLUDE=<.h2m> -DWORK=<folder>
#         -DOUTPUT=<page> -DEPOCH=<release day, seconds since 1970> -DVERSION=<version>
#         -P CliManPage.cmake

foreach(var CLI HELP2MAN INCLUDE WORK OUTPUT EPOCH VERSION)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CliManPage.cmake: ${var} is not set")
    endif()
endforeach()

# The --help text of a command as a preformatted roff block: backslashes, hyphens and a dot or
# quote at the start of a line kept as they are printed.
function(help_text command out)
    execute_process(COMMAND ${CLI} ${command} --help
                    OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${command} --help failed (${status})")
    endif()
    string(FIND "${text}" "Exit statuses:" at)
    if(at GREATER_EQUAL 0)
        string(SUBSTRING "${text}" 0 ${at} text)
    endif()
    string(REGEX REPLACE "\n+$" "\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(command_help command out)
    help_text(${command} text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REGEX REPLACE "\n+$" "\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The exit statuses: "  0  text" lines, continued by lines indented further.
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE main_help RESULT_VARIABLE status)
string(FIND "${main_help}" "Exit statuses:\n" at)
if(NOT status EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "${CLI} --help lists no exit statuses")
endif()
math(EXPR at "${at} + 15")
string(SUBSTRING "${main_help}" ${at} -1 statuses)
string(REGEX REPLACE "\n *([0-9]) +" "\n.TP\n.B \\1\n" statuses "\n${statuses}")
string(REGEX REPLACE "\n +" "\n" statuses "${statuses}")
string(REPLACE "-" "\\-" statuses "${statuses}")
string(REGEX REPLACE "\n+$" "\n" statuses "${statuses}")

file(READ ${INCLUDE} sections)
command_help(analyze analyze_help)
command_help(batch batch_help)
command_help(validate validate_help)
string(APPEND sections "
[COMMANDS]
.SS \"benthix\\-cli analyze\"
.nf
${analyze_help}.fi
.SS \"benthix\\-cli batch\"
.nf
${batch_help}.fi
.SS \"benthix\\-cli validate\"
.nf
${validate_help}.fi

[EXIT STATUS]${statuses}")
file(MAKE_DIRECTORY ${WORK})
set(include_file ${WORK}/benthix-cli.h2m)
file(WRITE ${include_file} "${sections}")

# help2man dates the page from SOURCE_DATE_EPOCH: the release day, not the build's.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
set(ENV{LC_ALL} C)
# help2man reads the tool's --help without the exit statuses, through a stand-in that prints it.
help_text("" main_text)
execute_process(COMMAND ${CLI} --version OUTPUT_VARIABLE version_text)
file(WRITE ${WORK}/help.txt "${main_text}")
file(WRITE ${WORK}/version.txt "${version_text}")
file(WRITE ${WORK}/benthix-cli "#!/bin/sh\ncase \"$1\" in\n--version) cat '${WORK}/version.txt' ;;\n"
                               "*) cat '${WORK}/help.txt' ;;\nesac\n")
file(CHMOD ${WORK}/benthix-cli PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 "--manual=User Commands"
            "--source=Benthix ${VERSION}" --include=${include_file} --output=${OUTPUT}
            ${WORK}/benthix-cli
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed (${status})")
endif()
