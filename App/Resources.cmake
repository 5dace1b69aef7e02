# Qt resource collections built into the library.
file(GLOB resource_collections CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.qrc)
target_sources(ZentarApp PRIVATE ${resource_collections})
