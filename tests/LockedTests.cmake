# Tests that open pseudo-terminals or start processes hold the CTest resource
# lock "pty": under `ctest -j` no two of them run at once, so they do not
# compete for the system's terminals, file descriptors and the time of the
# programs they start. The set is found in the test sources, so it cannot
# fall behind them:
#
#   A test file is locked when it names one of TW_LOCK_MARKERS, or includes a
#   test header that does (a header counts when it, or the .cpp beside it,
#   names a marker, or includes such a header). Every test suite defined in a
#   locked file is locked, in whichever file its other cases sit.
#
# Each test binary is discovered twice: once with the locked suites as its
# filter and the lock, once with the same filter negated, so every test is in
# exactly one of the two sets. Editing a test file re-runs the configure
# step, so the set follows every change.
set(TW_LOCK_MARKERS
    "support/pty[.]h" "serial/pty_port[.]h" "PtyPair" "PseudoTerminal" "posix_openpt" "openpty"
    "QProcess" "fork[(]" "exec[lv]p?e?[(]" "posix_spawn" "popen[(]" "[^a-z_]system[(]"
    "TIDEWIRE_BINARY" "socat")

# Sets `out` to TRUE when `text` names a marker or includes one of
# `locked_headers`.
function(tw_names_lock out text markers locked_headers)
  set(${out} FALSE PARENT_SCOPE)
  if(text MATCHES "${markers}")
    set(${out} TRUE PARENT_SCOPE)
    return()
  endif()
  foreach(locked IN LISTS locked_headers)
    get_filename_component(name ${locked} NAME)
    string(REPLACE "." "[.]" name "${name}")
    if(text MATCHES "#include \"([^\"]*/)?${name}\"")
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# Sets `out` to the gtest filter of the locked suites among `sources` (all
# files under `tests_dir` are scanned for helpers).
function(tw_locked_filter out tests_dir)
  list(JOIN TW_LOCK_MARKERS "|" markers)
  file(GLOB_RECURSE headers ${tests_dir}/*.h)
  # Headers that bring a marker with them, found again until none is added:
  # a header that includes a locked header is locked too.
  set(locked_headers "")
  set(changed TRUE)
  while(changed)
    set(changed FALSE)
    foreach(header IN LISTS headers)
      if(header IN_LIST locked_headers)
        continue()
      endif()
      file(READ ${header} text)
      string(REGEX REPLACE "[.]h$" ".cpp" beside ${header})
      if(EXISTS ${beside})
        file(READ ${beside} more)
        string(APPEND text "${more}")
      endif()
      tw_names_lock(hit "${text}" "${markers}" "${locked_headers}")
      if(hit)
        list(APPEND locked_headers ${header})
        set(changed TRUE)
      endif()
    endforeach()
  endwhile()

  set(suites "")
  foreach(source IN LISTS ARGN)
    file(READ ${source} text)
    tw_names_lock(hit "${text}" "${markers}" "${locked_headers}")
    if(hit)
      # The suite may sit on the line after the macro's parenthesis.
      set(define "(^|[^A-Za-z0-9_])(TYPED_)?TEST(_F|_P)?[(][ \t\r\n]*[A-Za-z0-9_]+")
      string(REGEX MATCHALL "${define}" found "${text}")
      foreach(match IN LISTS found)
        string(REGEX REPLACE ".*[(][ \t\r\n]*" "" suite "${match}")
        list(APPEND suites ${suite})
      endforeach()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES suites)
  list(SORT suites)
  set(patterns "")
  foreach(suite IN LISTS suites)
    # Parameterized suites are named "Instance/Suite".
    list(APPEND patterns "${suite}.*" "*/${suite}.*")
  endforeach()
  list(JOIN patterns ":" filter)
  set(${out} "${filter}" PARENT_SCOPE)
  set(${out}_SUITES "${suites}" PARENT_SCOPE)
endfunction()

# gtest_discover_tests for `target` built from `sources`, split into the
# locked set and the rest; extra arguments are passed on (not PROPERTIES).
function(tw_discover_tests target)
  cmake_parse_arguments(ARG "" "" "SOURCES;PROPERTIES" ${ARGN})
  tw_locked_filter(filter ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_SOURCES})
  # Any edit of a test file may add or remove a marker.
  file(GLOB_RECURSE all_test_files ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${all_test_files})
  list(LENGTH filter_SUITES count)
  string(REPLACE ";" " " listing "${filter_SUITES}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${target}-locked-suites.txt "${listing}\n")
  message(STATUS "${target}: ${count} test suites hold the lock \"pty\" (${target}-locked-suites.txt)")
  if(filter STREQUAL "")
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${ARG_PROPERTIES})
    return()
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 TEST_FILTER "${filter}"
                       PROPERTIES ${ARG_PROPERTIES} RESOURCE_LOCK pty LABELS pty)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 TEST_FILTER "-${filter}"
                       PROPERTIES ${ARG_PROPERTIES})
endfunction()
