# The tests' list key: the operator's keygen run once into FOLDER with the portal program,
# and HEADER written with its public key for the updater the tests install.
#
#   cmake -DPORTAL=<hwatable-portal> -DFOLDER=<key folder> -DHEADER=<hwatable_list_key.h>
#         -P tests/packaging/make_test_list_key.cmake

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/list_key.cmake)

if(NOT EXISTS ${FOLDER}/list-key.pub)
  execute_process(COMMAND ${PORTAL} --data ${FOLDER} keygen --force
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PORTAL} keygen failed")
  endif()
endif()
hwatable_list_key_header(${FOLDER}/list-key.pub ${HEADER})
