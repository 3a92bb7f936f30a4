# Builds the self-extracting installer: installer.sh.in with the version filled in,
# followed by a gzip-compressed tar archive of the game's files.
#
#   cmake -DVERSION=102 -DOUTPUT=.../hwatable-installer-102 -DSTAGE=<scratch folder>
#         -DHWATABLE=<program> -DPORTAL=<program> -DUPDATER=<program>
#         -DIMAGES=<folder> -DSOUNDS=<folder> [-DSTRIP=<strip program>]
#         -P packaging/build_installer.cmake
#
# The programs and the folders may be symbolic links (the build tree links images/ and
# sounds/ to the committed assets): the installer holds the files they point to.

cmake_minimum_required(VERSION 3.25)

foreach(variable VERSION OUTPUT STAGE HWATABLE PORTAL UPDATER IMAGES SOUNDS)
  if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
    message(FATAL_ERROR "build_installer.cmake needs -D${variable}=...")
  endif()
endforeach()
if(NOT VERSION MATCHES "^[0-9]+$")
  message(FATAL_ERROR "the version must be a whole number, not \"${VERSION}\"")
endif()

set(packaging ${CMAKE_CURRENT_LIST_DIR})
set(files ${STAGE}/files)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${files})

# The programs, as plain files (stripped of their symbols when STRIP is given).
foreach(pair IN ITEMS "hwatable|${HWATABLE}" "hwatable-portal|${PORTAL}" "updater|${UPDATER}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 source)
  if(NOT EXISTS "${source}" OR IS_DIRECTORY "${source}")
    message(FATAL_ERROR "the program ${name} is missing: ${source}")
  endif()
  if(STRIP)
    execute_process(COMMAND ${STRIP} --strip-unneeded -o ${files}/${name} ${source}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${STRIP} failed on ${source}")
    endif()
  else()
    file(COPY_FILE ${source} ${files}/${name})
  endif()
  file(CHMOD ${files}/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()

# The pictures and sounds: every file under the folder, read through any link, so that
# the installer never carries a link into the build tree.
foreach(pair IN ITEMS "images|${IMAGES}" "sounds|${SOUNDS}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 source)
  if(NOT IS_DIRECTORY "${source}")
    message(FATAL_ERROR "the folder ${name} is missing: ${source}")
  endif()
  file(REAL_PATH ${source} source)
  file(GLOB_RECURSE entries RELATIVE ${source} FOLLOW_SYMLINKS LIST_DIRECTORIES false
       ${source}/*)
  if(NOT entries)
    message(FATAL_ERROR "the folder ${name} is empty: ${source}")
  endif()
  file(MAKE_DIRECTORY ${files}/${name})
  foreach(entry IN LISTS entries)
    get_filename_component(folder ${files}/${name}/${entry} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${source}/${entry} ${files}/${name}/${entry})
  endforeach()
endforeach()

file(COPY_FILE ${packaging}/hwatable.svg ${files}/hwatable.svg)
file(COPY_FILE ${packaging}/hwatable.desktop.in ${files}/hwatable.desktop)

execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar czf ${STAGE}/payload.tar.gz --format=gnutar --
          hwatable hwatable-portal updater images sounds hwatable.svg hwatable.desktop
  WORKING_DIRECTORY ${files}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not pack the game files in ${files}")
endif()

file(READ ${packaging}/installer.sh.in header)
string(REPLACE "@HWATABLE_VERSION@" "${VERSION}" header "${header}")
file(WRITE ${STAGE}/header.sh "${header}")

# Written beside the output and renamed, so that a failed build never leaves a
# truncated installer behind.
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${STAGE}/header.sh ${STAGE}/payload.tar.gz
                OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "could not write ${OUTPUT}.part")
endif()
file(CHMOD ${OUTPUT}.part PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(RENAME ${OUTPUT}.part ${OUTPUT})
