# Building a product's themes and translations from sources.
#
#   zentar_add_theme_pack(<target> NAME <pack> SOURCE_DIR <dir> DESTINATION <dir>
#                         [FILES <file>...])
#       Packs every file below SOURCE_DIR (and the extra FILES, at the top) into
#       <DESTINATION>/<pack>.rcc, a binary resource file whose files are
#       addressed as ":/<pack>/<path relative to SOURCE_DIR>".
#
#   zentar_add_themes(<target> SOURCE_DIR <dir> DESTINATION <dir>
#                     [DESCRIPTION_FILE <name>] [SHARED_DIR <dir>])
#       SOURCE_DIR holds one folder per theme; in each, the description file
#       (default "theme.json") and one folder per pack. Produces
#       <DESTINATION>/<theme>/<description> and <DESTINATION>/<theme>/<pack>.rcc.
#       SHARED_DIR/<pack>/ holds files that every theme's pack of that name
#       gets unless the theme's pack has its own file of that name (typically
#       the stylesheets, while each theme brings its own variables). A
#       SHARED_DIR inside SOURCE_DIR is not taken for a theme. Theme and pack
#       names must not contain a dot (configuring fails); folders whose names
#       begin with one are ignored.
#
#   zentar_add_translations(<target> DESTINATION <dir>
#                           [SOURCE_DIR <dir>] [TS_FILES <file>...]
#                           [SOURCE_LOCALES <locale>...])
#       Compiles <name>_<locale>.ts (e.g. demo_de_DE.ts) into
#       <DESTINATION>/<locale>/<name>_<locale>.qm. SOURCE_DIR contributes all
#       its *.ts files. SOURCE_LOCALES are languages offered without
#       translation files (the language the sources are written in): only
#       their folders are made.
#
# <target> is a custom target built by default; it is created on first use and
# collects the outputs of every call naming it. Make the product depend on it.
# The tools are found next to Qt's rcc; set ZENTAR_RCC_EXECUTABLE or
# ZENTAR_LRELEASE_EXECUTABLE to override.

include_guard(GLOBAL)

# The library's own build installs this file with its package, where the
# package configuration includes it.
if(DEFINED ZentarApp_SOURCE_DIR AND CMAKE_CURRENT_LIST_DIR STREQUAL "${ZentarApp_SOURCE_DIR}/cmake")
  include(GNUInstallDirs)
  install(FILES "${CMAKE_CURRENT_LIST_FILE}" DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ZentarApp)
endif()

# The Qt tool behind `target` (rcc, lrelease), else one of `names` found on
# the path or beside rcc; remembered in the cache variable `cache_var`.
function(_zentar_find_qt_tool out cache_var target description)
  if(NOT ${cache_var})
    if(TARGET ${target})
      get_target_property(tool ${target} IMPORTED_LOCATION)
      set(${cache_var} "${tool}" CACHE FILEPATH "${description}")
    else()
      set(hint "")
      if(TARGET Qt5::rcc)
        get_target_property(rcc Qt5::rcc IMPORTED_LOCATION)
        get_filename_component(hint "${rcc}" DIRECTORY)
      endif()
      find_program(${cache_var} NAMES ${ARGN} HINTS "${hint}" REQUIRED)
    endif()
  endif()
  set(${out} "${${cache_var}}" PARENT_SCOPE)
endfunction()

function(_zentar_attach target)
  if(NOT TARGET ${target})
    add_custom_target(${target} ALL)
  endif()
  # Custom commands in this directory run when a target of it lists them.
  target_sources(${target} PRIVATE ${ARGN})
endfunction()

# The product takes a folder's or pack's name up to its first dot (so that
# "themes.old" reads like "themes"): a dotted theme would be offered under a
# shorter id, and a dotted pack's files would be looked up under a prefix
# they do not have. Refuse such names while they are cheap to change.
function(_zentar_refuse_dotted_name what name where)
  if(name MATCHES "\\.")
    string(REGEX REPLACE "\\..*$" "" read_as "${name}")
    message(FATAL_ERROR "${what} \"${name}\" (${where}) has a dot in its name. The product reads "
      "names only up to the first dot and would take it for \"${read_as}\". Rename it without dots.")
  endif()
endfunction()

# Fails the configure when the calling function `function` was not given every
# one of the keywords (its ARG_<keyword> variables are empty).
function(_zentar_require function)
  foreach(keyword IN LISTS ARGN)
    if(NOT ARG_${keyword})
      list(LENGTH ARGN count)
      list(JOIN ARGN " and " keywords)
      if(count EQUAL 1)
        message(FATAL_ERROR "${function}: ${keywords} is required")
      endif()
      message(FATAL_ERROR "${function}: ${keywords} are required")
    endif()
  endforeach()
endfunction()

# ARG_DESTINATION made absolute, relative paths taken from the build folder.
macro(_zentar_destination out)
  get_filename_component(${out} "${ARG_DESTINATION}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
endmacro()

function(_zentar_xml_escape out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(zentar_add_theme_pack target)
  cmake_parse_arguments(ARG "" "NAME;SOURCE_DIR;DESTINATION" "FILES" ${ARGN})
  _zentar_require(zentar_add_theme_pack NAME DESTINATION)
  if(NOT ARG_SOURCE_DIR AND NOT ARG_FILES)
    message(FATAL_ERROR "zentar_add_theme_pack(${ARG_NAME}): give SOURCE_DIR or FILES")
  endif()
  _zentar_refuse_dotted_name("Theme pack" "${ARG_NAME}" "zentar_add_theme_pack(${target})")
  _zentar_find_qt_tool(rcc ZENTAR_RCC_EXECUTABLE Qt5::rcc "Qt resource compiler" rcc-qt5 rcc)

  set(entries)
  set(inputs)
  if(ARG_SOURCE_DIR)
    get_filename_component(source_dir "${ARG_SOURCE_DIR}" ABSOLUTE)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false "${source_dir}/*")
    list(SORT files)
    foreach(file IN LISTS files)
      file(RELATIVE_PATH alias "${source_dir}" "${file}")
      list(APPEND entries "${alias}|${file}")
      list(APPEND inputs "${file}")
    endforeach()
  endif()
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(file "${file}" ABSOLUTE)
    get_filename_component(alias "${file}" NAME)
    list(APPEND entries "${alias}|${file}")
    list(APPEND inputs "${file}")
  endforeach()

  _zentar_xml_escape(prefix "/${ARG_NAME}")
  set(qrc "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"${prefix}\">\n")
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 alias)
    list(GET parts 1 file)
    _zentar_xml_escape(alias "${alias}")
    _zentar_xml_escape(file "${file}")
    string(APPEND qrc "    <file alias=\"${alias}\">${file}</file>\n")
  endforeach()
  string(APPEND qrc "  </qresource>\n</RCC>\n")

  _zentar_destination(destination)
  string(MAKE_C_IDENTIFIER "${destination}/${ARG_NAME}" key)
  string(MD5 key "${key}")
  set(qrc_file "${CMAKE_CURRENT_BINARY_DIR}/zentar_packs/${ARG_NAME}-${key}.qrc")
  # configure_file rewrites the list only when it changed, so packs are not
  # rebuilt at every configure.
  file(WRITE "${qrc_file}.in" "${qrc}")
  configure_file("${qrc_file}.in" "${qrc_file}" COPYONLY)

  set(output "${destination}/${ARG_NAME}.rcc")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}"
    COMMAND "${rcc}" -binary -o "${output}" "${qrc_file}"
    DEPENDS "${qrc_file}" ${inputs}
    COMMENT "Theme pack ${ARG_NAME}.rcc"
    VERBATIM)
  _zentar_attach(${target} "${output}")
endfunction()

function(zentar_add_themes target)
  cmake_parse_arguments(ARG "" "SOURCE_DIR;DESTINATION;DESCRIPTION_FILE;SHARED_DIR" "" ${ARGN})
  _zentar_require(zentar_add_themes SOURCE_DIR DESTINATION)
  if(NOT ARG_DESCRIPTION_FILE)
    set(ARG_DESCRIPTION_FILE theme.json)
  endif()
  get_filename_component(source_dir "${ARG_SOURCE_DIR}" ABSOLUTE)
  _zentar_destination(destination)
  set(shared_dir "")
  if(ARG_SHARED_DIR)
    get_filename_component(shared_dir "${ARG_SHARED_DIR}" ABSOLUTE)
  endif()

  file(GLOB themes LIST_DIRECTORIES true CONFIGURE_DEPENDS "${source_dir}/*")
  foreach(theme_dir IN LISTS themes)
    get_filename_component(theme "${theme_dir}" NAME)
    # Hidden folders belong to editors and tools, not to the look.
    if(NOT IS_DIRECTORY "${theme_dir}" OR theme_dir STREQUAL shared_dir OR theme MATCHES "^\\.")
      continue()
    endif()
    _zentar_refuse_dotted_name("Theme folder" "${theme}" "${theme_dir}")
    set(description "${theme_dir}/${ARG_DESCRIPTION_FILE}")
    if(NOT EXISTS "${description}")
      message(WARNING "Theme ${theme} has no ${ARG_DESCRIPTION_FILE}; the product will not offer it")
    else()
      set(output "${destination}/${theme}/${ARG_DESCRIPTION_FILE}")
      add_custom_command(OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E copy "${description}" "${output}"
        DEPENDS "${description}"
        COMMENT "Theme description ${theme}/${ARG_DESCRIPTION_FILE}"
        VERBATIM)
      _zentar_attach(${target} "${output}")
    endif()
    file(GLOB packs LIST_DIRECTORIES true CONFIGURE_DEPENDS "${theme_dir}/*")
    foreach(pack_dir IN LISTS packs)
      get_filename_component(pack "${pack_dir}" NAME)
      if(IS_DIRECTORY "${pack_dir}" AND NOT pack MATCHES "^\\.")
        _zentar_refuse_dotted_name("Pack folder" "${pack}" "${pack_dir}")
        set(extra)
        if(shared_dir)
          file(GLOB shared LIST_DIRECTORIES false CONFIGURE_DEPENDS "${shared_dir}/${pack}/*")
          foreach(file IN LISTS shared)
            get_filename_component(name "${file}" NAME)
            if(NOT EXISTS "${pack_dir}/${name}")
              list(APPEND extra "${file}")
            endif()
          endforeach()
        endif()
        zentar_add_theme_pack(${target} NAME ${pack} SOURCE_DIR "${pack_dir}" FILES ${extra}
          DESTINATION "${destination}/${theme}")
      endif()
    endforeach()
  endforeach()
endfunction()

function(zentar_add_translations target)
  cmake_parse_arguments(ARG "" "SOURCE_DIR;DESTINATION" "TS_FILES;SOURCE_LOCALES" ${ARGN})
  _zentar_require(zentar_add_translations DESTINATION)
  _zentar_find_qt_tool(lrelease ZENTAR_LRELEASE_EXECUTABLE Qt5::lrelease "Qt translation compiler" lrelease-qt5 lrelease)
  _zentar_destination(destination)

  set(ts_files)
  foreach(ts IN LISTS ARG_TS_FILES)
    get_filename_component(ts "${ts}" ABSOLUTE)
    list(APPEND ts_files "${ts}")
  endforeach()
  if(ARG_SOURCE_DIR)
    file(GLOB found CONFIGURE_DEPENDS "${ARG_SOURCE_DIR}/*.ts")
    list(APPEND ts_files ${found})
  endif()

  foreach(ts IN LISTS ts_files)
    get_filename_component(name "${ts}" NAME_WE)
    if(NOT name MATCHES "_([a-z][a-z][a-z]?_[A-Z][A-Z])$")
      message(FATAL_ERROR "Translation ${ts}: the name must end in _<language>_<COUNTRY>.ts")
    endif()
    set(locale "${CMAKE_MATCH_1}")
    set(output "${destination}/${locale}/${name}.qm")
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}"
      COMMAND "${lrelease}" -silent "${ts}" -qm "${output}"
      DEPENDS "${ts}"
      COMMENT "Translation ${locale}/${name}.qm"
      VERBATIM)
    _zentar_attach(${target} "${output}")
  endforeach()

  foreach(locale IN LISTS ARG_SOURCE_LOCALES)
    # A stamp inside the folder keeps the folder's creation in the build graph.
    set(stamp "${destination}/${locale}/.source-language")
    add_custom_command(OUTPUT "${stamp}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}"
      COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
      COMMENT "Language folder ${locale}"
      VERBATIM)
    _zentar_attach(${target} "${stamp}")
  endforeach()
endfunction()
