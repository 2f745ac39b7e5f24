# Wave reader and sample converter, run for example as
#   wave_fuzz -max_total_time=300 corpus/wave
brisvale_fuzz(wave_fuzz
  SOURCES wave_fuzz.cpp
          ${CMAKE_SOURCE_DIR}/platform/WaveFile.cpp
          ${CMAKE_SOURCE_DIR}/platform/WaveConverter.cpp
  LIBS Qt6::Core)
