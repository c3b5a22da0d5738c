# Writes the manual's COMMANDS section (a help2man include file) from each
# command's own --help, so that the page lists exactly the options the
# program takes.
#   cmake -DPROGRAM=path/to/korvane-cli -DOUT=file.h2m -P man_commands.cmake
cmake_minimum_required(VERSION 3.22)

# roff: backslashes escaped, option dashes as minus signs, no line taken for
# a request.
function(roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|[ (,'\"])--([a-z])" "\\1\\\\-\\\\-\\2" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(help_of args out)
  execute_process(COMMAND ${PROGRAM} ${args} --help OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${args} --help failed (${rc})")
  endif()
  # Lines as list items: brackets and semicolons would split or join them.
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of("" tool)
set(commands "")
set(inside FALSE)
foreach(line IN LISTS tool)
  if(line STREQUAL "Subcommands:")
    set(inside TRUE)
  elseif(inside AND line MATCHES "^  ([a-z-]+)  ")
    list(APPEND commands ${CMAKE_MATCH_1})
  elseif(inside)
    break()
  endif()
endforeach()
if(NOT commands)
  message(FATAL_ERROR "no commands in ${PROGRAM} --help")
endif()

set(page "[COMMANDS]\n")
foreach(command IN LISTS commands)
  help_of(${command} help)
  list(GET help 0 about)
  roff("${about}" about)
  string(APPEND page ".SS ${command}\n")
  foreach(line IN LISTS help)
    if(line MATCHES "^Usage: (.*)$")
      string(REPLACE "-" "\\-" usage "${CMAKE_MATCH_1}")
      string(APPEND page ".B ${usage}\n.PP\n${about}\n")
    # "  --flag VALUE ...   what it does" (or a positional "  name VALUE ..."):
    # the option, then its meaning.
    elseif(line MATCHES "^  ([^ ]+)( [^ ]+( \\.\\.\\.)?)?  +(.+)$" AND NOT CMAKE_MATCH_1 STREQUAL "-h,--help")
      string(REPLACE "-" "\\-" flag "${CMAKE_MATCH_1}")
      string(STRIP "${CMAKE_MATCH_2}" value)
      roff("${CMAKE_MATCH_4}" meaning)
      string(APPEND page ".TP\n\\fB${flag}\\fR")
      if(NOT value STREQUAL "")
        string(APPEND page " \\fI${value}\\fR")
      endif()
      string(APPEND page "\n${meaning}\n")
    endif()
  endforeach()
endforeach()
file(WRITE ${OUT} "${page}")
