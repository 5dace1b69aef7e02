# Debian packages of what `cmake --install` installs (`cpack` in the build
# folder; scripts/package.sh makes a build for them):
#   libzentarapp<major>   the shared library (its resources are built into it);
#   libzentarapp-dev      headers, the CMake package with the theme and
#                         translation functions, the programs, zentarapp.pc.
# An install() rule without COMPONENT lands in the -dev package (the default
# component is set before the first rule); only the runtime files name theirs.
# Their dependencies on other packages come from dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentarapp)
set(CPACK_PACKAGE_VENDOR Zentar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zentar App maintainers <app-maintainers@zentar.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Application framework of the Zentar desktop products")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shlibs file lets other packages' dpkg-shlibdeps depend on this library.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The programs of the -dev package link the library of the runtime package,
# which dpkg-shlibdeps finds in this build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/App")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libzentarapp${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzentarapp-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# What the headers, the CMake package and the theme and translation
# functions use, which no binary tells dpkg-shlibdeps.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "qtbase5-dev (>= 5.15), qttools5-dev-tools, libboost-dev (>= 1.74)")

include(CPack)
cpack_add_component(runtime
  DISPLAY_NAME "Zentar App library"
  DESCRIPTION "The shared library that the Zentar desktop products run on: the application object, crash tracking, themes and languages, gestures, the process link and the shared dialogs.")
cpack_add_component(dev
  DISPLAY_NAME "Zentar App development files"
  DESCRIPTION "Headers, the CMake package (find_package(ZentarApp)) with the theme and translation build functions, the library's programs, and zentarapp.pc for pkg-config."
  DEPENDS runtime)
