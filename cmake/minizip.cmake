# zlib and its contrib/minizip, from the zlib source package that
# scripts/build-third-party.sh unpacks. qn_minizip reads archives (the unzip
# stand-in unpacks them);
# qn_minizip_write makes them, for tests only.
file(GLOB _qn_zlib_sources LIST_DIRECTORIES true "${CMAKE_SOURCE_DIR}/build/third-party/src/zlib-*")
list(FILTER _qn_zlib_sources EXCLUDE REGEX "\\.(tar|dsc)")
list(GET _qn_zlib_sources 0 QN_ZLIB_SOURCE)
set(QN_MINIZIP_DIR "${QN_ZLIB_SOURCE}/contrib/minizip")
if(NOT EXISTS "${QN_MINIZIP_DIR}/unzip.c")
    message(FATAL_ERROR "minizip not found under ${QN_ZLIB_SOURCE}; run scripts/build-third-party.sh")
endif()

if(WIN32)
    set(QN_ZLIB_PREFIX "${CMAKE_SOURCE_DIR}/build/third-party/zlib-win32" CACHE PATH
        "Where the cross-built static zlib is installed")
    if(NOT EXISTS "${QN_ZLIB_PREFIX}/lib/libz.a")
        message(FATAL_ERROR "zlib not found in ${QN_ZLIB_PREFIX}; run scripts/build-third-party.sh")
    endif()
    add_library(qn_zlib STATIC IMPORTED GLOBAL)
    set_target_properties(qn_zlib PROPERTIES
        IMPORTED_LOCATION "${QN_ZLIB_PREFIX}/lib/libz.a"
        INTERFACE_INCLUDE_DIRECTORIES "${QN_ZLIB_PREFIX}/include")
else()
    find_package(ZLIB REQUIRED)
    add_library(qn_zlib INTERFACE)
    target_link_libraries(qn_zlib INTERFACE ZLIB::ZLIB)
endif()

# Someone else's C: built as it is, without our warnings.
add_library(qn_minizip STATIC "${QN_MINIZIP_DIR}/unzip.c" "${QN_MINIZIP_DIR}/ioapi.c")
target_include_directories(qn_minizip SYSTEM PUBLIC "${QN_MINIZIP_DIR}")
target_compile_definitions(qn_minizip PUBLIC NOCRYPT NOUNCRYPT)
target_compile_options(qn_minizip PRIVATE -w)
target_link_libraries(qn_minizip PUBLIC qn_zlib)

add_library(qn_minizip_write STATIC EXCLUDE_FROM_ALL "${QN_MINIZIP_DIR}/zip.c")
target_compile_options(qn_minizip_write PRIVATE -w)
target_link_libraries(qn_minizip_write PUBLIC qn_minizip)
