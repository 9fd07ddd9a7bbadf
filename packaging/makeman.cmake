# Writes a program's manual page from its own --help, so that the text has one
# home: the program. Subcommands listed under "Commands:" in the help (as
# zepta-cli has them) get their own --help as sections of the page.
#
#   cmake -DPROGRAM=path -DNAME=zepta-cli -DSUMMARY="..." -DVERSION=1.13
#         -DSEE_ALSO=zepta,zepta-sim -DOUTPUT=zepta-cli.1 [-DGZIP=path] -P makeman.cmake

cmake_minimum_required(VERSION 3.25)

function(run_help out)
    execute_process(COMMAND "${PROGRAM}" ${ARGN} --help
                    OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR text STREQUAL "")
        message(FATAL_ERROR "${NAME} ${ARGN} --help gave status ${status}: ${error}")
    endif()
    # The usage line names the program as it was started.
    string(REPLACE "${PROGRAM}" "${NAME}" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text to roff: shown as written, line for line.
function(roff text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "\n+$" "" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
string(REPLACE "-" "\\-" name "${NAME}")
string(REPLACE "-" "\\-" summary "${SUMMARY}")
run_help(help)
roff("${help}" body)
string(CONCAT page ".TH \"${title}\" 1 \"\" \"Zepta ${VERSION}\" \"User Commands\"\n"
         ".SH NAME\n${name} \\- ${summary}\n.SH DESCRIPTION\n${body}")

# The commands: the two-space-indented words from "Commands:" to the blank line.
if(help MATCHES "\nCommands:\n(.*)")
    string(REGEX REPLACE "\n\n.*" "" commands "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "(^|\n)  [a-z]+" commands "${commands}")
    if(commands)
        string(APPEND page ".SH COMMANDS\n")
    endif()
    foreach(command IN LISTS commands)
        string(STRIP "${command}" command)
        run_help(text ${command})
        roff("${text}" text)
        string(APPEND page ".SS \"${name} ${command}\"\n${text}")
    endforeach()
endif()

string(REPLACE "," ";" SEE_ALSO "${SEE_ALSO}")
if(SEE_ALSO)
    string(APPEND page ".SH \"SEE ALSO\"\n")
    set(separator ",")
    list(LENGTH SEE_ALSO count)
    foreach(other IN LISTS SEE_ALSO)
        math(EXPR count "${count} - 1")
        if(count EQUAL 0)
            set(separator "")
        endif()
        string(REPLACE "-" "\\-" other "${other}")
        string(APPEND page ".BR ${other} (1)${separator}\n")
    endforeach()
endif()

file(WRITE "${OUTPUT}" "${page}")
if(GZIP)
    # -n: no name or time stamp inside, so the same page compresses alike.
    execute_process(COMMAND "${GZIP}" -9nf "${OUTPUT}" COMMAND_ERROR_IS_FATAL ANY)
endif()
