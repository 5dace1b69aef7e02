# Building a product's themes and translations from sources.
#
#   zentar_add_theme_pack(<target> NAME <pack> SOURCE_DIR <dir> DESTINATION <dir>
#                         [FILES <file>...])
#       Packs every file below SOURCE_DIR (and the extra FILES, at the top) into
#       <DESTINATION>/<pack>.rcc, a binary resource file whose files are
#       addressed as ":/<pack>/<path relative to SOURCE_DIR>".
#
#   zentar_add_themes(<target> SOURCE_DIR <dir> DESTINATION <dir>
#                     [DESCRIPTION_FILE <name>] [SHARED_DIR <dir>]
#                     [CHECK ON|OFF] [LANGUAGES <locale>...] [MODULES <name>...])
#       SOURCE_DIR holds one folder per theme; in each, the description file
#       (default "theme.json") and one folder per pack. Produces
#       <DESTINATION>/<theme>/<description> and <DESTINATION>/<theme>/<pack>.rcc.
#       SHARED_DIR/<pack>/ holds files that every theme's pack of that name
#       gets unless the theme's pack has its own file of that name (typically
#       the stylesheets, while each theme brings its own variables). A
#       SHARED_DIR inside SOURCE_DIR is not taken for a theme. Theme and pack
#       names must not contain a dot (configuring fails); folders whose names
#       begin with one are ignored.
#       CHECK (default ON) runs zentar-theme-check on the sources: every theme
#       is composed for every language as the product composes it, and
#       mistakes fail the build with file and line (see docs/themes.md).
#       LANGUAGES are the languages the product ships (default: those that
#       zentar_add_translations gives the same target); MODULES the product's
#       module names in order (default: every pack, alphabetically). With
#       ZENTAR_THEME_WARNINGS_AS_ERRORS set, warnings fail the build too.
#
#   zentar_add_translations(<target> DESTINATION <dir>
#                           [SOURCE_DIR <dir>] [TS_FILES <file>...]
#                           [SOURCE_LOCALES <locale>...] [PSEUDO <locale>...]
#                           [MIN_COMPLETE <percent>])
#       Compiles <name>_<locale>.ts (e.g. demo_de_DE.ts) into
#       <DESTINATION>/<locale>/<name>_<locale>.qm. SOURCE_DIR contributes all
#       its *.ts files. SOURCE_LOCALES are languages offered without
#       translation files (the language the sources are written in): only
#       their folders are made.
#       The build prints, per module and language, how many texts are
#       translated, unfinished and missing, and fails when a file has fewer
#       than MIN_COMPLETE percent translated; <locale>/.translated-share holds
#       the share of the language's texts that are translated.
#       PSEUDO builds, from the texts of the .ts files, pseudo-languages for
#       testers (en_XA: "[Ŝéţţîñĝš ···]"); their folders hold a
#       .pseudo-language file so that products offer them only when asked.
#
# <target> is a custom target built by default; it is created on first use and
# collects the outputs of every call naming it. Make the product depend on it.
# The tools are found next to Qt's rcc; set ZENTAR_RCC_EXECUTABLE or
# ZENTAR_LRELEASE_EXECUTABLE to override. The library's own programs
# (zentar-theme-check, zentar-ts-tool) come with its package.

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

# The executable target of one of the library's programs (Zentar::ThemeCheck,
# Zentar::TsTool): built in the library's own tree, imported by
# find_package(ZentarApp) elsewhere.
function(_zentar_program out name)
  if(NOT TARGET Zentar::${name})
    message(FATAL_ERROR "Zentar::${name} is not known: use the functions after find_package(ZentarApp)")
  endif()
  get_target_property(real Zentar::${name} ALIASED_TARGET)
  if(NOT real)
    set(real Zentar::${name})
  endif()
  set(${out} ${real} PARENT_SCOPE)
endfunction()

# Sanitized builds of the library run its programs at build time: a leak
# report at their exit must not fail the build.
function(_zentar_program_launcher out)
  set(launcher)
  if(ZENTAR_SANITIZE)
    set(launcher ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
  endif()
  set(${out} ${launcher} PARENT_SCOPE)
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
  cmake_parse_arguments(ARG "" "SOURCE_DIR;DESTINATION;DESCRIPTION_FILE;SHARED_DIR;CHECK" "LANGUAGES;MODULES"
    ${ARGN})
  _zentar_require(zentar_add_themes SOURCE_DIR DESTINATION)
  if(NOT DEFINED ARG_CHECK)
    set(ARG_CHECK ON)
  endif()
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

  if(ARG_CHECK)
    _zentar_check_themes()
  endif()
endfunction()

# Part of zentar_add_themes: runs the checker whenever a theme source changes.
macro(_zentar_check_themes)
  _zentar_program(checker ThemeCheck)
  _zentar_program_launcher(launcher)
  if(NOT TARGET ${target})
    add_custom_target(${target} ALL)
  endif()
  set(check_args --description "${ARG_DESCRIPTION_FILE}")
  if(shared_dir)
    list(APPEND check_args --shared "${shared_dir}")
  endif()
  if(ARG_LANGUAGES)
    list(JOIN ARG_LANGUAGES "," languages)
    list(APPEND check_args --languages "${languages}")
  else()
    # Known once every call of the directory has run.
    list(APPEND check_args "--languages=$<JOIN:$<TARGET_PROPERTY:${target},ZENTAR_LOCALES>,$<COMMA>>")
  endif()
  list(APPEND check_args "--pseudo-languages=$<JOIN:$<TARGET_PROPERTY:${target},ZENTAR_PSEUDO_LOCALES>,$<COMMA>>")
  if(ARG_MODULES)
    list(JOIN ARG_MODULES "," modules)
    list(APPEND check_args --modules "${modules}")
  endif()
  if(ZENTAR_THEME_WARNINGS_AS_ERRORS)
    list(APPEND check_args --warnings-as-errors)
  endif()
  file(GLOB_RECURSE check_inputs CONFIGURE_DEPENDS LIST_DIRECTORIES false "${source_dir}/*")
  if(shared_dir)
    file(GLOB_RECURSE shared_inputs CONFIGURE_DEPENDS LIST_DIRECTORIES false "${shared_dir}/*")
    list(APPEND check_inputs ${shared_inputs})
  endif()
  string(MD5 check_key "${source_dir}|${destination}")
  set(check_stamp "${CMAKE_CURRENT_BINARY_DIR}/zentar_checks/themes-${check_key}.stamp")
  add_custom_command(OUTPUT "${check_stamp}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/zentar_checks"
    COMMAND ${launcher} $<TARGET_FILE:${checker}> ${check_args} --stamp "${check_stamp}" "${source_dir}"
    DEPENDS ${check_inputs} ${checker}
    COMMENT "Checking the themes of ${source_dir}"
    COMMAND_EXPAND_LISTS
    VERBATIM)
  _zentar_attach(${target} "${check_stamp}")
endmacro()

# A stamp file inside a language's folder keeps the folder's creation (and
# what the stamp's name says of the language) in the build graph.
function(_zentar_language_stamp target destination locale name)
  set(stamp "${destination}/${locale}/${name}")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    COMMENT "Language folder ${locale}"
    VERBATIM)
  _zentar_attach(${target} "${stamp}")
endfunction()

function(zentar_add_translations target)
  cmake_parse_arguments(ARG "" "SOURCE_DIR;DESTINATION;MIN_COMPLETE" "TS_FILES;SOURCE_LOCALES;PSEUDO" ${ARGN})
  _zentar_require(zentar_add_translations DESTINATION)
  _zentar_program(ts_tool TsTool)
  _zentar_program_launcher(launcher)
  if(NOT ARG_MIN_COMPLETE)
    set(ARG_MIN_COMPLETE 0)
  endif()
  _zentar_find_qt_tool(lrelease ZENTAR_LRELEASE_EXECUTABLE Qt5::lrelease "Qt translation compiler" lrelease-qt5 lrelease)
  _zentar_destination(destination)

  if(NOT TARGET ${target})
    add_custom_target(${target} ALL)
  endif()
  set(ts_files)
  set(locales)
  set(modules)
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
    string(REGEX REPLACE "_${locale}$" "" module "${name}")
    list(APPEND locales ${locale})
    list(APPEND modules ${module})
    list(APPEND ts_of_${locale} "${ts}")
    list(APPEND ts_of_module_${module} "${ts}")
    set(output "${destination}/${locale}/${name}.qm")
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}"
      COMMAND "${lrelease}" -silent "${ts}" -qm "${output}"
      DEPENDS "${ts}"
      COMMENT "Translation ${locale}/${name}.qm"
      VERBATIM)
    _zentar_attach(${target} "${output}")
  endforeach()

  list(REMOVE_DUPLICATES locales)
  list(REMOVE_DUPLICATES modules)
  foreach(locale IN LISTS locales)
    set(share "${destination}/${locale}/.translated-share")
    add_custom_command(OUTPUT "${share}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}"
      COMMAND ${launcher} $<TARGET_FILE:${ts_tool}> stats --min ${ARG_MIN_COMPLETE} --share-file "${share}"
              ${ts_of_${locale}}
      DEPENDS ${ts_of_${locale}} ${ts_tool}
      COMMENT "Translation completeness ${locale}"
      VERBATIM)
    _zentar_attach(${target} "${share}")
  endforeach()

  foreach(locale IN LISTS ARG_PSEUDO)
    foreach(module IN LISTS modules)
      set(pseudo_ts "${CMAKE_CURRENT_BINARY_DIR}/zentar_pseudo/${module}_${locale}.ts")
      set(output "${destination}/${locale}/${module}_${locale}.qm")
      add_custom_command(OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}/${locale}" "${CMAKE_CURRENT_BINARY_DIR}/zentar_pseudo"
        COMMAND ${launcher} $<TARGET_FILE:${ts_tool}> pseudo --language ${locale} --output "${pseudo_ts}"
                ${ts_of_module_${module}}
        COMMAND "${lrelease}" -silent "${pseudo_ts}" -qm "${output}"
        DEPENDS ${ts_of_module_${module}} ${ts_tool}
        COMMENT "Pseudo-translation ${locale}/${module}_${locale}.qm"
        VERBATIM)
      _zentar_attach(${target} "${output}")
    endforeach()
    _zentar_language_stamp(${target} "${destination}" ${locale} .pseudo-language)
  endforeach()
  set_property(TARGET ${target} APPEND PROPERTY ZENTAR_LOCALES ${locales} ${ARG_SOURCE_LOCALES})
  set_property(TARGET ${target} APPEND PROPERTY ZENTAR_PSEUDO_LOCALES ${ARG_PSEUDO})

  foreach(locale IN LISTS ARG_SOURCE_LOCALES)
    _zentar_language_stamp(${target} "${destination}" ${locale} .source-language)
  endforeach()
endfunction()
