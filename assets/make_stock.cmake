# Builds STOCK.ZIP: the stock folder U33 with the map system's folders and the
# stock map tiles.
# cmake -DSTAGE=<dir> -DOUT=<zip> -DSOURCE=<assets/stock> [-DMAPS=<drawn U33>] -P make_stock.cmake
file(REMOVE_RECURSE "${STAGE}")
foreach(sub LOG M0002 M0010 M0050 M0200 M1000 M5000 POI UTMPICS TRK)
  file(MAKE_DIRECTORY "${STAGE}/U33/${sub}")
endforeach()
if(EXISTS "${SOURCE}/U33")
  file(COPY "${SOURCE}/U33" DESTINATION "${STAGE}")
endif()
# The drawn tiles are linked into the stage, not copied.
if(MAPS AND EXISTS "${MAPS}")
  file(GLOB tiles RELATIVE "${MAPS}" "${MAPS}/M[0-9][0-9][0-9][0-9]/*.BMP")
  foreach(tile IN LISTS tiles)
    file(CREATE_LINK "${MAPS}/${tile}" "${STAGE}/U33/${tile}" COPY_ON_ERROR)
  endforeach()
endif()
file(REMOVE "${OUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip U33
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not build ${OUT}")
endif()
