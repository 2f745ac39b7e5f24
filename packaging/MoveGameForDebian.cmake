# Run by CPack between installing into its staging folder and building the
# .deb: the game moves from usr/bin to usr/games, as Debian keeps games apart
# from other commands. Its data lies at ../share/brisvale from either folder.
file(GLOB_RECURSE games LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/brisvale"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/brisvale")
if(NOT games)
  message(FATAL_ERROR "no usr/bin/brisvale under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(game IN LISTS games)
  get_filename_component(usr "${game}/../.." ABSOLUTE)
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${game}" "${usr}/games/brisvale")
endforeach()
