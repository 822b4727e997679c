# The readers of reply headers: cookie merge and lookup, text cutting.
if(TARGET sorvane_web)
    sorvane_add_fuzzer(web_headers_fuzzer
        SOURCES "${CMAKE_CURRENT_LIST_DIR}/web/HeadersFuzzer.cpp"
        LIBS sorvane_web)
endif()
