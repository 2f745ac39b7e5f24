# The registry hive parser.
brisvale_fuzz(hive_document_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/hive_document_fuzz.cpp ${CMAKE_SOURCE_DIR}/platform/HiveDocument.cpp
  LIBS Qt6::Core)
