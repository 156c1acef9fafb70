# Building blocks of the main window that stand on their own: sounds, the settings store and the game clock.
add_library(quorra_appsupport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/SoundOutput.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/SoundEffectOutput.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundEffectOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/MediaSoundPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/MediaSoundPlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/WaveHeader.cpp ${CMAKE_CURRENT_LIST_DIR}/WaveHeader.h
  ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp ${CMAKE_CURRENT_LIST_DIR}/IniFile.h
  ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowSettings.h
  ${CMAKE_CURRENT_LIST_DIR}/PlayClock.cpp ${CMAKE_CURRENT_LIST_DIR}/PlayClock.h
)
target_include_directories(quorra_appsupport PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorra_appsupport PUBLIC Qt6::Core Qt6::Gui Qt6::Multimedia PRIVATE quorra_imaging)
