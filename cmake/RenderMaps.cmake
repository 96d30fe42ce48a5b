# cmake -DDIR=<folder> -P RenderMaps.cmake: draws every DOT file of the folder
# as SVG with graphviz. The maps rank themselves (bookc spreads wide fans over
# several ranks), so dot draws them as they are.
find_program(DOT dot)
if(NOT DOT)
  message(FATAL_ERROR "The story maps need graphviz: run tools/storymap, which installs it, "
                      "or apt-get install graphviz")
endif()
file(GLOB maps ${DIR}/*.dot)
foreach(map IN LISTS maps)
  get_filename_component(name ${map} NAME_WE)
  execute_process(
    COMMAND ${DOT} -Tsvg -o ${DIR}/${name}.svg ${map}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "graphviz could not draw ${map}")
  endif()
endforeach()
