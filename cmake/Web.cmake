# The browser build (the `web` preset): Emscripten compiles the reader, the
# platform and the book to WebAssembly. The host tools that make the book's
# tables, the pictures and sounds and the baked glyphs cannot run as
# WebAssembly; they are taken from the native build in FERNVALE_HOST_BUILD,
# which must have built them first (./run --web does both).
set(FERNVALE_HOST_BUILD ${PROJECT_SOURCE_DIR}/build CACHE PATH
  "The native build whose tools (bookc, embed, picture, glyphs) the browser build runs")
foreach(tool bookc embed picture glyphs)
  if(NOT EXISTS ${FERNVALE_HOST_BUILD}/${tool})
    message(FATAL_ERROR "The browser build runs ${FERNVALE_HOST_BUILD}/${tool}: build it first "
                        "(cmake --preset default && cmake --build --preset default --target "
                        "bookc embed picture glyphs), or use ./run --web")
  endif()
  add_executable(${tool} IMPORTED)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${FERNVALE_HOST_BUILD}/${tool})
endforeach()
set(FERNVALE_TESTS OFF CACHE BOOL "" FORCE)
set(FERNVALE_BENCH OFF CACHE BOOL "" FORCE)
