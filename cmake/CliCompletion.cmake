# SPDX-License-Identifier: MIT
# Writes the bash completion of benthix-cli from the tool itself (`--bash-completion`), so that
# its commands, options and choices are always those of the build.
#   cmake -DCLI=<benthix-cli> -DOUTPUT=<file> -P CliCompletion.cmake
execute_process(COMMAND ${CLI} --bash-completion OUTPUT_FILE ${OUTPUT}.part
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "${CLI} --bash-completion failed (${status})")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
