# Puts the stock archive into the program folder while its stock folder U33 is
# missing there; a program folder whose stock is unpacked is left as it is.
# cmake -DARCHIVE=<built STOCK.ZIP> -DFOLDER=<program folder> -P place_stock.cmake
file(GLOB stock_folder LIST_DIRECTORIES true "${FOLDER}/[Uu]33")
if(NOT stock_folder)
  file(COPY_FILE "${ARCHIVE}" "${FOLDER}/STOCK.ZIP" ONLY_IF_DIFFERENT)
endif()
