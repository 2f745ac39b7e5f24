# brisvale_program(<target> HELP <help file> SECTION <manual section>)
#
# Makes an executable one of the installed programs. Its help text lives in
# one file, from which both the program's --help and --version (include
# "ProgramHelp.h" and hand brisvale::program::kHelp and kVersion to
# brisvale::cli::answerStandardOptions) and its manual page are generated, so
# the two never disagree. The program and its page are installed, and the
# installed-program tests check its --help, --version and page.
# Section 6 is for games, 1 for commands.
function(brisvale_program target)
  cmake_parse_arguments(P "" "HELP;SECTION" "" ${ARGN})
  if(NOT P_HELP OR NOT P_SECTION)
    message(FATAL_ERROR "brisvale_program(${target}) needs HELP and SECTION")
  endif()
  get_filename_component(help "${P_HELP}" ABSOLUTE)
  set(version "${target} ${PROJECT_VERSION}")

  set(generated "${CMAKE_CURRENT_BINARY_DIR}/${target}_help")
  add_custom_command(OUTPUT "${generated}/ProgramHelp.h"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${generated}"
    COMMAND brisvale_helpdoc header "${help}" "${version}" "${generated}/ProgramHelp.h"
    DEPENDS brisvale_helpdoc "${help}"
    COMMENT "Help text of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${generated}/ProgramHelp.h")
  target_include_directories(${target} PRIVATE "${generated}")
  target_link_libraries(${target} PRIVATE brisvale_cli)

  set(page "${CMAKE_CURRENT_BINARY_DIR}/${target}.${P_SECTION}")
  add_custom_command(OUTPUT "${page}.gz"
    COMMAND brisvale_helpdoc man "${help}" ${P_SECTION} "${version}" "${BRISVALE_RELEASE_DATE}" "${page}"
    COMMAND gzip -9nf "${page}"
    DEPENDS brisvale_helpdoc "${help}"
    COMMENT "Manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS "${page}.gz")

  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES "${page}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man${P_SECTION})
  set_property(GLOBAL APPEND PROPERTY BRISVALE_PROGRAMS "${target}|${P_SECTION}|${help}")
endfunction()

# The list of installed programs for the tests, one "name|section|help file"
# a line, written once every folder has declared its programs.
function(brisvale_write_program_list)
  get_property(programs GLOBAL PROPERTY BRISVALE_PROGRAMS)
  list(JOIN programs "\n" text)
  file(WRITE "${CMAKE_BINARY_DIR}/programs.txt" "${text}\n")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL brisvale_write_program_list)
