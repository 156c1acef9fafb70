# Building blocks of the main window that stand on their own: sounds and the settings store.
add_library(quorra_appsupport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TSoundPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/TSoundPlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/TSoundOutput.cpp ${CMAKE_CURRENT_LIST_DIR}/TSoundOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/TSoundEffectOutput.cpp ${CMAKE_CURRENT_LIST_DIR}/TSoundEffectOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/TMediaSoundPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/TMediaSoundPlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/TWaveHeader.cpp ${CMAKE_CURRENT_LIST_DIR}/TWaveHeader.h
  ${CMAKE_CURRENT_LIST_DIR}/TIniFile.cpp ${CMAKE_CURRENT_LIST_DIR}/TIniFile.h
  ${CMAKE_CURRENT_LIST_DIR}/TFormStorage.cpp ${CMAKE_CURRENT_LIST_DIR}/TFormStorage.h
)
target_include_directories(quorra_appsupport PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorra_appsupport PUBLIC Qt6::Core Qt6::Gui Qt6::Multimedia PRIVATE quorra_imaging)
