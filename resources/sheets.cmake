# media_sheets: the contact sheet (every picture at 1:1 and 2:1 with its id)
# and the spectrogram sheet (every sound over a time axis, with its length),
# as PNGs in this build folder, for reviewing the media without running the
# reader. Each sheet is an SVG written here that rsvg-convert renders.
set(sheet ${CMAKE_CURRENT_BINARY_DIR}/contact-sheet.svg)
set(svg "")
set(x 10)
set(y 10)
set(row 0)
set(column 0)
set(images)
foreach(entry IN LISTS previews)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 w)
  list(GET parts 2 h)
  if(NOT w OR NOT h)
    continue()
  endif()
  math(EXPR w2 "${w} * 2")
  math(EXPR h2 "${h} * 2")
  math(EXPR x2 "${x} + 229")
  math(EXPR iy "${y} + 16")
  string(APPEND svg
    "<text x=\"${x}\" y=\"${y}\" dy=\"11\" font-family=\"DejaVu Sans\" font-size=\"12\">${name} (${w}×${h})</text>\n"
    "<image x=\"${x}\" y=\"${iy}\" width=\"${w}\" height=\"${h}\" href=\"work/${name}-1x.png\"/>\n"
    "<image x=\"${x2}\" y=\"${iy}\" width=\"${w2}\" height=\"${h2}\" href=\"work/${name}-2x.png\"/>\n")
  list(APPEND images ${work}/${name}-1x.png ${work}/${name}-2x.png)
  math(EXPR cell "${h2} + 30")
  if(cell GREATER row)
    set(row ${cell})
  endif()
  if(column EQUAL 0)
    set(column 1)
    set(x 700)
  else()
    set(column 0)
    set(x 10)
    math(EXPR y "${y} + ${row}")
    set(row 0)
  endif()
endforeach()
math(EXPR height "${y} + ${row} + 10")
file(WRITE ${sheet}
  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1390\" height=\"${height}\">\n"
  "<rect width=\"100%\" height=\"100%\" fill=\"#d0d0d0\"/>\n${svg}</svg>\n")

set(spectra ${CMAKE_CURRENT_BINARY_DIR}/spectrograms.svg)
set(svg "")
set(files)
set(index 0)
foreach(name IN LISTS sound_names)
  set(png ${work}/${name}-spectrogram.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/sound_picture.sh ${SOX} ${work}/sounds/${name}.wav
      ${name} ${png}
    DEPENDS ${work}/sounds/${name}.wav ${CMAKE_CURRENT_SOURCE_DIR}/sound_picture.sh
    VERBATIM)
  list(APPEND files ${png})
  # sound_picture.sh's picture: 600 by 129 of spectrum inside sox's own axes,
  # title and scale.
  math(EXPR y "10 + ${index} * 237")
  string(APPEND svg
    "<image x=\"10\" y=\"${y}\" width=\"744\" height=\"227\" href=\"work/${name}-spectrogram.png\"/>\n")
  math(EXPR index "${index} + 1")
endforeach()
math(EXPR height "20 + ${index} * 237")
file(WRITE ${spectra}
  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"764\" height=\"${height}\">\n"
  "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n${svg}</svg>\n")

add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/contact-sheet.png ${CMAKE_CURRENT_BINARY_DIR}/spectrograms.png
  COMMAND ${RSVG_CONVERT} -o ${CMAKE_CURRENT_BINARY_DIR}/contact-sheet.png ${sheet}
  COMMAND ${RSVG_CONVERT} -o ${CMAKE_CURRENT_BINARY_DIR}/spectrograms.png ${spectra}
  DEPENDS ${images} ${files} ${sheet} ${spectra}
  COMMENT "Drawing the contact sheet and the spectrogram sheet"
  VERBATIM)
add_custom_target(media_sheets
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/contact-sheet.png ${CMAKE_CURRENT_BINARY_DIR}/spectrograms.png)
