# Writes the manual page benthix-cli(1) with help2man from the tool's own --help and
# --version, with the hand-written sections of packaging/benthix-cli.h2m and a COMMANDS
# section holding the --help of each command.
#   cmake -DCLI=<benthix-cli> -DHELP2MAN=<help2man> -DINCLUDE=<.h2m> -DWORK=<folder>
#         -DOUTPUT=<page> -DEPOCH=<release day, seconds since 1970> -P CliManPage.cmake

foreach(var CLI HELP2MAN INCLUDE WORK OUTPUT EPOCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CliManPage.cmake: ${var} is not set")
    endif()
endforeach()

# The --help text of a command as a preformatted roff block: backslashes, hyphens and a dot or
# quote at the start of a line kept as they are printed.
function(command_help command out)
    execute_process(COMMAND ${CLI} ${command} --help
                    OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${command} --help failed (${status})")
    endif()
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REGEX REPLACE "\n+$" "\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(READ ${INCLUDE} sections)
command_help(analyze analyze_help)
command_help(batch batch_help)
string(APPEND sections "
[COMMANDS]
.SS \"benthix\\-cli analyze\"
.nf
${analyze_help}.fi
.SS \"benthix\\-cli batch\"
.nf
${batch_help}.fi
")
file(MAKE_DIRECTORY ${WORK})
set(include_file ${WORK}/benthix-cli.h2m)
file(WRITE ${include_file} "${sections}")

# help2man dates the page from SOURCE_DATE_EPOCH: the release day, not the build's.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
set(ENV{LC_ALL} C)
execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 "--manual=User Commands"
            --source=Benthix --include=${include_file} --output=${OUTPUT} ${CLI}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed (${status})")
endif()
