# The private-profile (INI) parser of the thumbnail data file.
brisvale_fuzz(profile_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/profile_fuzz.cpp ${CMAKE_SOURCE_DIR}/platform/ProfileDocument.cpp
  LIBS Qt6::Core)
