# The demo's themes and translations, built beside the executable:
# resources/themes/<theme>/{theme.json,base.rcc,widgets.rcc} and
# resources/locales/<locale>/{demo,zentarapp}_<locale>.qm. The themes are
# checked for every language the translations give; en_XA is the
# pseudo-language testers ask for with --test-pseudo-language.
zentar_add_themes(zentar-demo-lookandfeel
  SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/themes
  SHARED_DIR ${CMAKE_CURRENT_SOURCE_DIR}/themes/_shared
  DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/resources/themes
  DESCRIPTION_FILE theme.json
  MODULES base widgets)
zentar_add_translations(zentar-demo-lookandfeel
  SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/translations
  DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/resources/locales
  SOURCE_LOCALES en_US
  PSEUDO en_XA
  MIN_COMPLETE 90)
add_dependencies(zentar-demo zentar-demo-lookandfeel)
