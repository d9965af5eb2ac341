# Installs the built program into a temporary prefix with `cmake --install`,
# builds the Debian package with CPack, unpacks it into a temporary root and
# checks both: the program, its desktop entry and its icon are where a
# desktop looks for them, the program runs from there, and the package
# depends on the Qt 6 runtime.
#
# Usage: cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch folder> -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(FILES
    bin/tidewire
    share/applications/tidewire.desktop
    share/icons/hicolor/scalable/apps/tidewire.svg
    share/doc/tidewire/copyright
    share/man/man1/tidewire.1.gz)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(check_tree root what)
  foreach(f IN LISTS FILES)
    if(NOT EXISTS "${root}/${f}")
      message(FATAL_ERROR "${what}: ${f} is missing under ${root}")
    endif()
  endforeach()
  run("${root}/bin/tidewire" --version)
  if(NOT run_output MATCHES "^Tidewire [0-9]")
    message(FATAL_ERROR "${what}: the installed program says '${run_output}'")
  endif()
  file(READ "${root}/share/applications/tidewire.desktop" desktop)
  foreach(line "Type=Application" "Exec=tidewire" "Icon=tidewire")
    string(FIND "${desktop}" "\n${line}\n" at)
    if(at LESS 0)
      message(FATAL_ERROR "${what}: the desktop entry lacks '${line}'")
    endif()
  endforeach()
  file(READ "${root}/share/icons/hicolor/scalable/apps/tidewire.svg" icon)
  if(NOT icon MATCHES "<svg ")
    message(FATAL_ERROR "${what}: the icon is not an SVG image")
  endif()
  # One main category, as desktops file an entry under one menu.
  string(REGEX MATCH "\nCategories=([^\n]*)" categories "${desktop}")
  set(categories "${CMAKE_MATCH_1}")
  set(main 0)
  foreach(c AudioVideo Audio Video Development Education Game Graphics Network Office Science
            Settings System Utility)
    if(categories MATCHES "(^|;)${c};")
      math(EXPR main "${main} + 1")
    endif()
  endforeach()
  if(NOT main EQUAL 1)
    message(FATAL_ERROR "${what}: the desktop entry names ${main} main categories")
  endif()
  # The manual page is made from the help and lists its options.
  set(version "${run_output}")
  run(gzip -dc "${root}/share/man/man1/tidewire.1.gz")
  if(NOT run_output MATCHES "-menu")
    message(FATAL_ERROR "${what}: the manual page does not list --menu")
  endif()
  file(READ "${root}/share/doc/tidewire/copyright" copyright)
  if(NOT copyright MATCHES "^Format: " OR copyright MATCHES "@TIDEWIRE_MAINTAINER@")
    message(FATAL_ERROR "${what}: the copyright file is not filled in")
  endif()
  message(STATUS "${what}: ${FILES} in place; --version: ${version}")
endfunction()

# 1. cmake --install into a temporary prefix.
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix")
check_tree("${WORK_DIR}/prefix" "cmake --install")
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  run(${VALIDATE} "${WORK_DIR}/prefix/share/applications/tidewire.desktop")
endif()

# 2. The Debian package, unpacked into a temporary root.
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config "${BUILD_DIR}/CPackConfig.cmake"
                        -B "${WORK_DIR}/package"
                WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB debs "${WORK_DIR}/package/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} .deb files, not one:\n${out}")
endif()

run(dpkg-deb --field "${debs}" Package Depends)
set(fields "${run_output}")
foreach(dep "Package: tidewire" "libqt6core6" "libqt6gui6" "libqt6widgets6" "libqt6serialport6"
        "qt6-qpa-plugins")
  string(FIND "${fields}" "${dep}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the package does not carry '${dep}':\n${fields}")
  endif()
endforeach()

run(dpkg-deb --extract "${debs}" "${WORK_DIR}/root")
check_tree("${WORK_DIR}/root/usr" "package")
message(STATUS "package: ${debs}\n${fields}")
