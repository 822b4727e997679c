# A service request and a download against a local server, and merging a reply's cookies.
if(TARGET sorvane_web)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(HTTPLIB IMPORTED_TARGET cpp-httplib)
    if(HTTPLIB_FOUND)
        sorvane_add_bench(web_bench
            SOURCES "${CMAKE_CURRENT_LIST_DIR}/web/WebBench.cpp"
            LIBS sorvane_web PkgConfig::HTTPLIB)
    endif()
endif()
