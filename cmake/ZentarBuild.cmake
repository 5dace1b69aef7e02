# Compile settings shared by the library's own targets.
function(zentar_strict_target target)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS QT_NO_FOREACH QT_USE_QSTRINGBUILDER)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(ZENTAR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Keeps, of the files in the list `var`, those of the system built for. The
# suffix of an operating-system file says what it needs: _win (Win32), _unix
# (POSIX, or only what every Unix-like offers), _linux (Linux kernel
# interfaces such as /proc, pidfd or F_SETPIPE_SZ, or the Linux desktop), _x11
# (the X server, through xcb).
function(zentar_select_os_sources var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "_(unix|linux|x11)\\.cpp$")
  else()
    list(FILTER ${var} EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

# A support library: folder Support/<name>, headers under its include/.
# Without SOURCES it takes every .cpp of the folder (the operating-system files
# by their suffix, see zentar_select_os_sources) and every header, so files
# can be added without editing it.
# HEADER_ONLY makes an INTERFACE library of the headers alone (pure
# interfaces); its PUBLIC_LIBS are what its headers need.
function(zentar_support_library name)
  cmake_parse_arguments(ARG "HEADER_ONLY" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  if(ARG_HEADER_ONLY)
    add_library(Zentar${name} INTERFACE)
    target_include_directories(Zentar${name} INTERFACE
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_link_libraries(Zentar${name} INTERFACE ${ARG_PUBLIC_LIBS})
  else()
    if(NOT ARG_SOURCES)
      file(GLOB_RECURSE ARG_SOURCES CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
      zentar_select_os_sources(ARG_SOURCES)
    endif()
    add_library(Zentar${name} STATIC ${ARG_SOURCES})
    target_include_directories(Zentar${name} PUBLIC
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_link_libraries(Zentar${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    zentar_strict_target(Zentar${name})
  endif()
  add_library(Zentar::${name} ALIAS Zentar${name})
  install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  set_property(GLOBAL APPEND PROPERTY ZENTAR_SUPPORT_LIBRARIES Zentar${name})
endfunction()

# add_subdirectory() for each folder named, failing the configure when one is
# missing rather than leaving it out without a word. `what` names the kind of
# folder in the message.
function(zentar_add_subdirectories what)
  foreach(dir IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      message(FATAL_ERROR "${what} \"${dir}\" not found: ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt is missing")
    endif()
    add_subdirectory(${dir})
  endforeach()
endfunction()
