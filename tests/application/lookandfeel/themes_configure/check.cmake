# Configures the project beside this script with THEMES_DIR in a fresh
# BINARY_DIR. With EXPECT_ERROR (a regular expression) configuring must fail
# with that message; without it, configuring must succeed.
file(REMOVE_RECURSE "${BINARY_DIR}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${CMAKE_CURRENT_LIST_DIR}" -B "${BINARY_DIR}" -G "${GENERATOR}"
          "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}" "-DZENTAR_THEMES_MODULE=${THEMES_MODULE}"
          "-DZENTAR_RCC_EXECUTABLE=${RCC}" "-DTHEMES_DIR=${THEMES_DIR}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
# CMake wraps long messages; compare the words only.
string(REGEX REPLACE "[ \t\r\n]+" " " flat "${output}")
if(EXPECT_ERROR)
  if(result EQUAL 0)
    message(FATAL_ERROR "configuring ${THEMES_DIR} succeeded; expected an error:\n${output}")
  elseif(NOT flat MATCHES "${EXPECT_ERROR}")
    message(FATAL_ERROR "configuring ${THEMES_DIR} failed without the expected message [${EXPECT_ERROR}]:\n${output}")
  endif()
elseif(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring ${THEMES_DIR} failed:\n${output}")
endif()
