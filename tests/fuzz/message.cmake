# The two kinds of message file the image controls scroll.
brisvale_fuzz(message_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/message_fuzz.cpp
          ${CMAKE_SOURCE_DIR}/imaging/MessageFile.cpp
          ${CMAKE_SOURCE_DIR}/imaging/ScrollingMessage.cpp
  LIBS Qt6::Core Qt6::Gui)
