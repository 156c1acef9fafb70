# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file under core/ includes anything but the C++ standard library, the compiler's own intrinsics or
# core's own headers: core is also compiled for the browser, where neither Qt nor any other library exists.
# Run as: cmake -DCORE_DIR=<the core folder> -P CheckStandardIncludes.cmake
cmake_minimum_required(VERSION 3.25)
set(standard
  algorithm any array atomic barrier bit bitset charconv chrono compare complex concepts condition_variable
  coroutine deque exception execution filesystem format forward_list fstream functional future initializer_list
  iomanip ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource mutex new
  numbers numeric optional ostream queue random ranges ratio regex scoped_allocator semaphore set shared_mutex
  source_location span sstream stack stdexcept stop_token streambuf string string_view syncstream system_error
  thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector version
  cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg cstddef cstdint cstdio
  cstdlib cstring ctime cuchar cwchar cwctype
  # The x86 vector instructions, guarded so that other processors never see them.
  immintrin.h)

if(NOT IS_DIRECTORY "${CORE_DIR}")
  message(FATAL_ERROR "CORE_DIR is not a folder: '${CORE_DIR}'")
endif()
file(GLOB_RECURSE sources "${CORE_DIR}/*.h" "${CORE_DIR}/*.hpp" "${CORE_DIR}/*.cpp" "${CORE_DIR}/*.cc")
if(NOT sources)
  message(FATAL_ERROR "no sources under ${CORE_DIR}")
endif()
set(refused "")
foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard)
        list(APPEND refused "${source}: ${line}")
      endif()
    # A quoted name is a header of core's own beside the file; a path could climb out of core.
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+\\.h)\"")
      if(NOT EXISTS "${folder}/${CMAKE_MATCH_1}")
        list(APPEND refused "${source}: ${line}")
      endif()
    else()
      list(APPEND refused "${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(refused)
  list(JOIN refused "\n  " text)
  message(FATAL_ERROR "core may include only the standard library and its own headers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files of core include only the standard library and core's own headers")
