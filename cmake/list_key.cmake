# The updater's list key: hwatable_list_key_header(VALUE HEADER) writes HEADER (from
# list_key.h.in) with the public key VALUE gives: the key itself as keygen printed it,
# the full path of the file keygen wrote (list-key.pub), or "" for none. The header is
# only rewritten when the key changes. Used by the build and, for the tests' key, by
# tests/packaging/make_test_list_key.cmake.

set(HWATABLE_LIST_KEY_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/list_key.h.in)

# 32 bytes in base64: 43 characters of its alphabet and one "=".
function(hwatable_is_list_key text result)
  string(LENGTH "${text}" length)
  if(length EQUAL 44 AND text MATCHES "^[A-Za-z0-9+/]+=$")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

function(hwatable_list_key_header value header)
  set(key "")
  if(NOT value STREQUAL "")
    hwatable_is_list_key("${value}" is_key)
    if(is_key)
      set(key "${value}")
    elseif(IS_ABSOLUTE "${value}" AND EXISTS "${value}" AND NOT IS_DIRECTORY "${value}")
      file(READ "${value}" key)
      string(STRIP "${key}" key)
      hwatable_is_list_key("${key}" is_key)
      if(NOT is_key)
        message(FATAL_ERROR "HWATABLE_LIST_KEY: ${value} holds no public list key")
      endif()
    else()
      message(FATAL_ERROR
        "HWATABLE_LIST_KEY is the public list key that \"hwatable-portal keygen\" printed, or "
        "the full path of the file list-key.pub it wrote; \"${value}\" is neither")
    endif()
  endif()
  set(HWATABLE_LIST_KEY_TEXT "${key}")
  configure_file(${HWATABLE_LIST_KEY_TEMPLATE} ${header} @ONLY)
endfunction()
