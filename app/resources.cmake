# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the demo video and the help pages with their pictures beside the program in the build tree, where it looks
# first (installed, they go to share/quorra). Included from app/CMakeLists.txt after the quorra target.
set(QUORRA_RESOURCE_ROOT ${PROJECT_SOURCE_DIR}/resources)
file(GLOB QUORRA_HELP_PICTURES CONFIGURE_DEPENDS RELATIVE ${QUORRA_RESOURCE_ROOT} ${QUORRA_RESOURCE_ROOT}/Help/*.png)
# The help page in English and its translations (Nimbrel.<language>.html), which the program picks by the
# desktop's language.
file(GLOB QUORRA_HELP_PAGES CONFIGURE_DEPENDS RELATIVE ${QUORRA_RESOURCE_ROOT} ${QUORRA_RESOURCE_ROOT}/Nimbrel*.html)
set(QUORRA_BESIDE_PROGRAM Res/Example.avi ${QUORRA_HELP_PAGES} ${QUORRA_HELP_PICTURES})

set(QUORRA_BESIDE_PROGRAM_COPIES)
foreach(file ${QUORRA_BESIDE_PROGRAM})
  if(EXISTS ${QUORRA_RESOURCE_ROOT}/${file})
    add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${file}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUORRA_RESOURCE_ROOT}/${file} ${CMAKE_CURRENT_BINARY_DIR}/${file}
      DEPENDS ${QUORRA_RESOURCE_ROOT}/${file}
      VERBATIM)
    list(APPEND QUORRA_BESIDE_PROGRAM_COPIES ${CMAKE_CURRENT_BINARY_DIR}/${file})
  endif()
endforeach()
add_custom_target(quorra_demo_and_help ALL DEPENDS ${QUORRA_BESIDE_PROGRAM_COPIES})
if(TARGET quorra)
  add_dependencies(quorra quorra_demo_and_help)
endif()
