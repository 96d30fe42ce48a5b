# cmake -DDIR=<folder> -P RenderMaps.cmake: draws every DOT file of the folder
# as SVG with graphviz. unflatten staggers the long rows of pages that share
# one parent (the information page's descriptions), so the maps stay narrow.
find_program(DOT dot)
find_program(UNFLATTEN unflatten)
if(NOT DOT OR NOT UNFLATTEN)
  message(FATAL_ERROR "The story maps need graphviz: run tools/storymap, which installs it, "
                      "or apt-get install graphviz")
endif()
file(GLOB maps ${DIR}/*.dot)
foreach(map IN LISTS maps)
  get_filename_component(name ${map} NAME_WE)
  execute_process(
    COMMAND ${UNFLATTEN} -l 4 -f -c 6 ${map}
    COMMAND ${DOT} -Tsvg -o ${DIR}/${name}.svg
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "graphviz could not draw ${map}")
  endif()
endforeach()
