# Libraries taken from their sources instead of the system's build, for the
# Windows cross build: Debian ships them built for Linux only.
#
#   TIDEWIRE_PUGIXML_SOURCE  a pugixml source tree (with src/pugixml.cpp)
#   TIDEWIRE_GTEST_SOURCE    a googletest source tree (Debian: /usr/src/googletest)
#
# Left empty, the installed packages are used as before.

set(TIDEWIRE_PUGIXML_SOURCE "" CACHE PATH "Build pugixml from this source tree")
set(TIDEWIRE_GTEST_SOURCE "" CACHE PATH "Build GoogleTest from this source tree")

# Defines pugixml::pugixml.
macro(tw_find_pugixml)
  if(TIDEWIRE_PUGIXML_SOURCE)
    if(NOT EXISTS "${TIDEWIRE_PUGIXML_SOURCE}/src/pugixml.cpp")
      message(FATAL_ERROR "TIDEWIRE_PUGIXML_SOURCE: no src/pugixml.cpp in ${TIDEWIRE_PUGIXML_SOURCE}")
    endif()
    add_library(tw_pugixml STATIC "${TIDEWIRE_PUGIXML_SOURCE}/src/pugixml.cpp")
    target_include_directories(tw_pugixml SYSTEM PUBLIC "${TIDEWIRE_PUGIXML_SOURCE}/src")
    # Its own code, not ours: no warnings from it.
    target_compile_options(tw_pugixml PRIVATE -w)
    add_library(pugixml::pugixml ALIAS tw_pugixml)
  else()
    find_package(pugixml REQUIRED)
  endif()
endmacro()

# Defines GTest::gtest, GTest::gtest_main, GTest::gmock.
macro(tw_find_gtest)
  if(TIDEWIRE_GTEST_SOURCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory("${TIDEWIRE_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endmacro()
