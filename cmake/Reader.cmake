# add_reader(<target> BOOK <book-lib> RESOURCES <resource-lib> [OUTPUT_DIR <dir>])
#
# A reader program: the device's process entry, the reader's code, the book
# tables of <book-lib> (made by add_book) and the resources of <resource-lib>
# (made by fernvale_resources). The product is one use; tests build readers
# over small books of their own.
function(add_reader target)
  cmake_parse_arguments(R "" "BOOK;RESOURCES;OUTPUT_DIR" "" ${ARGN})
  if(NOT R_BOOK OR NOT R_RESOURCES)
    message(FATAL_ERROR "add_reader(${target}) needs BOOK and RESOURCES")
  endif()
  add_executable(${target})
  # The entry calls WinMain, which lives in the reader's library, and the
  # reader's library reads the book's tables: list them in that order.
  target_link_libraries(${target} PRIVATE fernvale_device_main fernvale_system ${R_BOOK} ${R_RESOURCES})
  if(R_OUTPUT_DIR)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${R_OUTPUT_DIR})
  endif()
endfunction()
