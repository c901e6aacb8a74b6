# Puts the capture MAPI32.DLL into the Wine test prefix's system folder, keeping Wine's own
# aside, or puts Wine's own back.
#   cmake -DPREFIX=<prefix> -DLIBRARY=<capture dll> -DMODE=place|restore -P PlaceCaptureMapi.cmake
# A host without a usable prefix has nothing to change (the Wine tests skip there).
set(system "${PREFIX}/drive_c/windows/system32")
if(NOT IS_DIRECTORY "${system}")
  return()
endif()
set(kept "${PREFIX}/mapi32-wine.dll")
if(MODE STREQUAL "place")
  if(NOT EXISTS "${kept}" AND EXISTS "${system}/mapi32.dll")
    file(RENAME "${system}/mapi32.dll" "${kept}")
  endif()
  file(COPY_FILE "${LIBRARY}" "${system}/mapi32.dll")
elseif(MODE STREQUAL "restore")
  if(EXISTS "${kept}")
    file(RENAME "${kept}" "${system}/mapi32.dll")
  else()
    file(REMOVE "${system}/mapi32.dll")
  endif()
else()
  message(FATAL_ERROR "MODE must be place or restore")
endif()
