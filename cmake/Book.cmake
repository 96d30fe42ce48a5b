# add_book(<target> SOURCES <file>... [MAP <file.dot>] [UNREACHED <file.txt>]
#          [MAP_DIR <folder>])
#
# Compiles a book's source with bookc into generated C++ in the build tree and
# builds it as a static library providing the tables declared in book/tables.h.
# Tests use it to link small books of their own instead of Fernvale. With
# MAP_DIR, the target <target>_map (built only on request, it needs graphviz)
# draws the story's overview and one map per source file there as SVG.
function(add_book target)
  cmake_parse_arguments(BOOK "" "MAP;UNREACHED;MAP_DIR" "SOURCES" ${ARGN})
  if(NOT BOOK_SOURCES)
    message(FATAL_ERROR "add_book(${target}) needs SOURCES")
  endif()
  set(sources)
  foreach(src IN LISTS BOOK_SOURCES)
    get_filename_component(abs ${src} ABSOLUTE)
    list(APPEND sources ${abs})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_tables.cpp)
  set(extra)
  set(outputs ${out})
  if(BOOK_MAP)
    list(APPEND extra --map ${BOOK_MAP})
    list(APPEND outputs ${BOOK_MAP})
  endif()
  if(BOOK_UNREACHED)
    list(APPEND extra --unreached ${BOOK_UNREACHED})
    list(APPEND outputs ${BOOK_UNREACHED})
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND $<TARGET_FILE:bookc> ${extra} --out ${out} ${sources}
    DEPENDS bookc ${sources}
    COMMENT "Compiling book ${target}"
    VERBATIM)
  if(BOOK_MAP_DIR)
    add_custom_target(${target}_map
      COMMAND $<TARGET_FILE:bookc> --map-dir ${BOOK_MAP_DIR} ${sources}
      COMMAND ${CMAKE_COMMAND} -DDIR=${BOOK_MAP_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/RenderMaps.cmake
      DEPENDS bookc ${sources}
      COMMENT "Drawing the story maps of ${target} in ${BOOK_MAP_DIR}"
      VERBATIM)
  endif()
  add_library(${target} STATIC ${out})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES BOOK_SOURCES "${sources}")
endfunction()
