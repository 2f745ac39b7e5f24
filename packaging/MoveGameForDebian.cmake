# Run by CPack between installing into its staging folder and building the
# .deb: the programs move from usr/bin to usr/games, as Debian keeps a games
# package's commands apart from other commands (the tools ship with the game).
# The game's data lies at ../share/brisvale from either folder.
file(GLOB_RECURSE games LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/brisvale"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/brisvale")
if(NOT games)
  message(FATAL_ERROR "no usr/bin/brisvale under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(game IN LISTS games)
  get_filename_component(bin "${game}" DIRECTORY)
  get_filename_component(usr "${bin}/.." ABSOLUTE)
  file(MAKE_DIRECTORY "${usr}/games")
  file(GLOB programs LIST_DIRECTORIES false "${bin}/*")
  foreach(program IN LISTS programs)
    get_filename_component(name "${program}" NAME)
    file(RENAME "${program}" "${usr}/games/${name}")
  endforeach()
  file(GLOB left "${bin}/*")
  if(NOT left)
    file(REMOVE_RECURSE "${bin}")
  endif()
endforeach()
