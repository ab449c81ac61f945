# How the plug-in writes its version. The project's version is major.minor.fix,
# each a number (1.0.1); FileMaker users read it as major, a dot, then the
# minor and fix digits run together: 1.0.1 is "1.01", 1.2.0 is "1.20".
# That text is what StyledTextVersion answers, what the version resource's
# strings hold and what the release is named after; the resource's numeric
# version is major,minor,fix,0.

# styledtext_version(PREFIX VERSION) sets PREFIX_TEXT, PREFIX_MAJOR,
# PREFIX_MINOR and PREFIX_FIX from VERSION. VERSION must be three numbers with
# a minor and a fix of one digit each, so that the text cannot be read two
# ways (1.1.0 and 1.0.10 would both be "1.10"); otherwise PREFIX_TEXT is empty.
function(styledtext_version prefix version)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9])\\.([0-9])$")
    foreach(part TEXT MAJOR MINOR FIX)
      set(${prefix}_${part} "" PARENT_SCOPE)
    endforeach()
    return()
  endif()
  math(EXPR major "${CMAKE_MATCH_1}")  # "01" would be an octal number in C
  set(${prefix}_TEXT "${major}.${CMAKE_MATCH_2}${CMAKE_MATCH_3}" PARENT_SCOPE)
  set(${prefix}_MAJOR ${major} PARENT_SCOPE)
  set(${prefix}_MINOR ${CMAKE_MATCH_2} PARENT_SCOPE)
  set(${prefix}_FIX ${CMAKE_MATCH_3} PARENT_SCOPE)
endfunction()
