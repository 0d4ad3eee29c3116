# The command-line tool's message catalogs: po/LANG.po built by msgfmt into
# <build>/locale/LANG/LC_MESSAGES/sarnlink.mo, where the tool in the build tree finds them, and
# installed under the system's locale folder, where the installed tool finds them.
include(GNUInstallDirs)
find_program(MSGFMT msgfmt REQUIRED)
set(SARNLINK_CATALOG_LANGUAGES ja en)
set(SARNLINK_CATALOGS)
foreach(language ${SARNLINK_CATALOG_LANGUAGES})
  set(folder ${CMAKE_BINARY_DIR}/locale/${language}/LC_MESSAGES)
  add_custom_command(
    OUTPUT ${folder}/sarnlink.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MSGFMT} --check -o ${folder}/sarnlink.mo ${CMAKE_SOURCE_DIR}/po/${language}.po
    DEPENDS ${CMAKE_SOURCE_DIR}/po/${language}.po
    COMMENT "Message catalog ${language}")
  list(APPEND SARNLINK_CATALOGS ${folder}/sarnlink.mo)
  install(FILES ${folder}/sarnlink.mo DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()
add_custom_target(catalogs ALL DEPENDS ${SARNLINK_CATALOGS})
