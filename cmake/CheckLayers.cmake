# Checks that #include arrows between the folders under src/ point down only.
#
# The folders are stacked in LAYERS, bottom first: core at the bottom, the
# subsystem rooms above it, app as the roof that wires them together. A file in
# src/A may include src/B only when B is A itself or lies lower in the list, and
# nothing outside src/app includes src/app. Every folder under src/ must be in
# the list, so a new room is placed deliberately rather than by accident.
#
# Usage: cmake -DSOURCE_DIR=<repo>/src -P cmake/CheckLayers.cmake
# Prints the folder graph, then each offending include; fails when there is one.
cmake_minimum_required(VERSION 3.25)

set(LAYERS core menu terminal logging serial protocol frames diagnostics emulator map gps udp
           summary firmware config app)

# A relative path is taken from the current folder; globbing needs it whole.
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR must name the src folder, got '${SOURCE_DIR}'")
endif()

set(problems "")
set(failures 0)

# Folders bottom-up: the listed ones in layer order, then any unlisted ones.
file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
list(SORT entries)
set(stack "")
foreach(layer IN LISTS LAYERS)
  if(IS_DIRECTORY "${SOURCE_DIR}/${layer}")
    list(APPEND stack "${layer}")
  endif()
endforeach()
foreach(folder IN LISTS entries)
  if(IS_DIRECTORY "${SOURCE_DIR}/${folder}" AND NOT folder IN_LIST LAYERS)
    list(APPEND stack "${folder}")
    string(APPEND problems "folder src/${folder} is not in the layer list; add it where it belongs\n")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

# CMake lists split on ';' and treat '\' and '[ ]' specially; those characters
# are swapped for control codes while a file is cut into lines, and back for printing.
string(ASCII 1 c1)
string(ASCII 2 c2)
string(ASCII 3 c3)
string(ASCII 4 c4)

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
list(SORT files)
# An empty folder would pass without checking anything.
if(NOT files MATCHES "\\.(h|cpp)(;|$)")
  message(FATAL_ERROR "no source files under '${SOURCE_DIR}'")
endif()
foreach(rel IN LISTS files)
  if(NOT rel MATCHES "^([^/]+)/(.*/)?[^/]+\\.(h|hh|hpp|hxx|inl|c|cc|cpp|cxx)$")
    continue()
  endif()
  set(from "${CMAKE_MATCH_1}")
  get_filename_component(dir "${rel}" DIRECTORY)
  file(READ "${SOURCE_DIR}/${rel}" text)
  string(REPLACE "\\" "${c1}" text "${text}")
  string(REPLACE ";" "${c2}" text "${text}")
  string(REPLACE "[" "${c3}" text "${text}")
  string(REPLACE "]" "${c4}" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(lineno 0)
  foreach(line IN LISTS text)
    math(EXPR lineno "${lineno} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    string(REPLACE "${c1}" "/" inc "${CMAKE_MATCH_1}")
    # Resolved as the compiler does: next to the including file first, then from src/.
    if(inc MATCHES "^\\.\\.?/" OR EXISTS "${SOURCE_DIR}/${dir}/${inc}")
      set(target "${dir}/${inc}")
    else()
      set(target "${inc}")
    endif()
    cmake_path(NORMAL_PATH target)
    # Same-folder includes, system headers and other trees are no arrows.
    if(NOT target MATCHES "^([^./][^/]*)/" OR NOT IS_DIRECTORY "${SOURCE_DIR}/${CMAKE_MATCH_1}")
      continue()
    endif()
    set(to "${CMAKE_MATCH_1}")
    if(to STREQUAL from)
      continue()
    endif()
    list(APPEND arrows_${from} "${to}")

    list(FIND LAYERS "${from}" from_level)
    list(FIND LAYERS "${to}" to_level)
    set(why "")
    if(to STREQUAL "app")
      set(why "${from} -> app: nothing outside src/app includes src/app, the roof")
    elseif(from_level GREATER_EQUAL 0 AND to_level GREATER from_level)
      set(why "${from} -> ${to}: ${to} lies above ${from} in the layer list")
    endif()
    if(NOT why STREQUAL "")
      string(REPLACE "${c1}" "\\" line "${line}")
      string(REPLACE "${c2}" ";" line "${line}")
      string(REPLACE "${c3}" "[" line "${line}")
      string(REPLACE "${c4}" "]" line "${line}")
      string(STRIP "${line}" line)
      string(APPEND problems "src/${rel}:${lineno}: ${line}  -- ${why}\n")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

# The graph, top folder first, each arrow with its number of include lines.
set(graph "Include arrows between the folders of ${SOURCE_DIR}, top first:\n")
set(top_down ${stack})
list(REVERSE top_down)
foreach(from IN LISTS top_down)
  set(left ${arrows_${from}})
  set(parts "")
  foreach(to IN LISTS stack)
    list(LENGTH left before)
    list(REMOVE_ITEM left "${to}")
    list(LENGTH left after)
    math(EXPR count "${before} - ${after}")
    if(count GREATER 0)
      list(APPEND parts "${to} (${count})")
    endif()
  endforeach()
  list(JOIN parts ", " parts)
  if(parts STREQUAL "")
    set(parts "(nothing)")
  endif()
  string(APPEND graph "  ${from} -> ${parts}\n")
endforeach()
message("${graph}")

if(failures EQUAL 0)
  message("no upward arrows")
else()
  message("${problems}")
  message(FATAL_ERROR "${failures} layering fault(s), listed above")
endif()
