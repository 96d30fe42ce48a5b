# cmake -DLIST=<book-media.txt> -DOWN=<id,id,...> -DFROM=<work> -DTO=<media>
#   -P select-media.cmake
# Makes <media>/bitmaps and <media>/sounds hold exactly the program's own
# bitmaps (OWN) and the bitmaps and sounds the book's list names (lines
# "bitmap ID" and "sound NAME", as bookc --media writes them), copied from
# where the build rendered them (<work>/bitmaps, <work>/sounds). A file is
# copied only when it differs, so the embedder runs again only for a change;
# one the book no longer names is removed.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" bitmaps "${OWN}")
set(sounds)
file(STRINGS ${LIST} lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^bitmap ([0-9]+)$")
    list(APPEND bitmaps ${CMAKE_MATCH_1})
  elseif(line MATCHES "^sound ([A-Za-z0-9_]+)$")
    list(APPEND sounds ${CMAKE_MATCH_1})
  else()
    message(FATAL_ERROR "${LIST}: unexpected line '${line}'")
  endif()
endforeach()

# select(<folder> <extension> <kind> <source, @ for the name> <names>...)
function(select folder ext kind source)
  set(wanted)
  foreach(name IN LISTS ARGN)
    set(from ${FROM}/${folder}/${name}.${ext})
    if(NOT EXISTS ${from})
      string(REPLACE "@" "${name}" missing "${source}")
      message(FATAL_ERROR "The book names ${kind} ${name}, but ${missing} is missing")
    endif()
    file(COPY_FILE ${from} ${TO}/${folder}/${name}.${ext} ONLY_IF_DIFFERENT)
    list(APPEND wanted ${TO}/${folder}/${name}.${ext})
  endforeach()
  file(GLOB present ${TO}/${folder}/*)
  foreach(file IN LISTS present)
    if(NOT file IN_LIST wanted)
      file(REMOVE ${file})
    endif()
  endforeach()
endfunction()

select(bitmaps bmp bitmap resources/pictures/@.svg ${bitmaps})
select(sounds wav sound resources/sounds/@.sh ${sounds})
