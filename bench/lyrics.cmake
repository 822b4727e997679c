if(TARGET sorvane_lyrics)
    sorvane_add_bench(lyrics_bench
        SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/lyrics/LyricLookupBench.cpp"
        LIBS sorvane_lyrics)
endif()
