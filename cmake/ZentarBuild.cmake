# Compile settings shared by the library's own targets.
function(zentar_strict_target target)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS QT_NO_FOREACH QT_USE_QSTRINGBUILDER)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(ZENTAR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A support library: folder Support/<name>, headers under its include/.
# Without SOURCES it takes every .cpp of the folder (Foo_win.cpp / Foo_unix.cpp
# by platform) and every header, so files can be added without editing it.
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
      if(WIN32)
        list(FILTER ARG_SOURCES EXCLUDE REGEX "_unix\\.cpp$")
      else()
        list(FILTER ARG_SOURCES EXCLUDE REGEX "_win\\.cpp$")
      endif()
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
