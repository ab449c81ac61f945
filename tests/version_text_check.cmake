# Checks styledtext_version() (cmake/version.cmake) on a table of versions:
# run with cmake -P. Prints one line per failure and "N passed, N failed".
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/version.cmake)

# version; then text, major, minor, fix ("-" for an empty text: refused)
set(cases
  "1.0.1|1.01|1|0|1"
  "1.0.2|1.02|1|0|2"
  "1.2.0|1.20|1|2|0"
  "2.3.4|2.34|2|3|4"
  "10.0.0|10.00|10|0|0"
  "01.0.1|1.01|1|0|1"
  "1.01|-|||"
  "1.1|-|||"
  "1|-|||"
  "1.0.10|-|||"
  "1.10.0|-|||"
  "1.0.1.0|-|||"
  "1.0.1-beta|-|||"
  "|-|||")

set(passed 0)
set(failed 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 version)
  list(GET fields 1 text)
  list(GET fields 2 major)
  list(GET fields 3 minor)
  list(GET fields 4 fix)
  if(text STREQUAL "-")
    set(text "")
  endif()
  styledtext_version(got "${version}")
  set(want "${text}|${major}|${minor}|${fix}")
  set(have "${got_TEXT}|${got_MAJOR}|${got_MINOR}|${got_FIX}")
  if(have STREQUAL want)
    math(EXPR passed "${passed} + 1")
  else()
    math(EXPR failed "${failed} + 1")
    message("FAIL \"${version}\": expected ${want}, got ${have}")
  endif()
endforeach()

message("${passed} passed, ${failed} failed")
if(failed)
  message(FATAL_ERROR "the version rule failed")
endif()
