# cmake -DSRC=... -DDST=... -P copy_if_missing.cmake
# Copies SRC to DST unless DST exists, so a rebuild never overwrites a deck someone trained on.
if(NOT EXISTS "${DST}")
    configure_file("${SRC}" "${DST}" COPYONLY)
endif()
