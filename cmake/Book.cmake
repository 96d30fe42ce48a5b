# add_book(<target> SOURCES <file>... [MAP <file.dot>] [UNREACHED <file.txt>])
#
# Compiles a book's source with bookc into generated C++ in the build tree and
# builds it as a static library providing the tables declared in book/tables.h.
# Tests use it to link small books of their own instead of Fernvale.
function(add_book target)
  cmake_parse_arguments(BOOK "" "MAP;UNREACHED" "SOURCES" ${ARGN})
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
    COMMAND bookc ${extra} --out ${out} ${sources}
    DEPENDS bookc ${sources}
    COMMENT "Compiling book ${target}"
    VERBATIM)
  add_library(${target} STATIC ${out})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
