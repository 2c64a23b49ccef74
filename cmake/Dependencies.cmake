# Every dependency comes from the machine's Debian packages. A missing one
# stops the configure step with the package that provides it.
function(tlw_require found what package)
  if(NOT ${found})
    message(FATAL_ERROR "${what} not found: install the Debian package '${package}' "
                        "(apt-get install ${package}) or run scripts/install-deps")
  endif()
endfunction()

find_package(Threads REQUIRED)
find_package(SQLite3 QUIET)
tlw_require(SQLite3_FOUND "SQLite" libsqlite3-dev)
find_package(PNG QUIET)
tlw_require(PNG_FOUND "libpng" libpng-dev)
find_package(ZLIB QUIET)
tlw_require(ZLIB_FOUND "zlib" zlib1g-dev)
find_package(Freetype QUIET)
tlw_require(FREETYPE_FOUND "FreeType" libfreetype-dev)
find_package(hwy QUIET)
tlw_require(hwy_FOUND "Highway" libhwy-dev)
find_package(GTest QUIET)
tlw_require(GTest_FOUND "GoogleTest" libgtest-dev)
if(TLW_BENCH)
  find_package(benchmark QUIET)
  tlw_require(benchmark_FOUND "Google Benchmark" libbenchmark-dev)
endif()

set(TLW_FONT_DIR /usr/share/fonts/truetype/dejavu CACHE PATH "Folder of the DejaVu fonts")
if(NOT EXISTS ${TLW_FONT_DIR}/DejaVuSans.ttf)
  message(FATAL_ERROR "DejaVu Sans not found in ${TLW_FONT_DIR}: install the Debian package 'fonts-dejavu-core'")
endif()

find_package(PkgConfig QUIET)
tlw_require(PkgConfig_FOUND "pkg-config" pkg-config)

# cpp-httplib serves the simulator's live view of the phone.
pkg_check_modules(HTTPLIB QUIET IMPORTED_TARGET cpp-httplib)
tlw_require(HTTPLIB_FOUND "cpp-httplib" libcpp-httplib-dev)

# pixman only serves a comparison benchmark.
pkg_check_modules(PIXMAN QUIET IMPORTED_TARGET pixman-1)
