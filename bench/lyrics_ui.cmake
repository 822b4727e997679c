if(TARGET sorvane_lyrics_ui)
    sorvane_add_bench(lyrics_ui_bench
        SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/lyrics_ui/DesktopLyricsBench.cpp"
        LIBS sorvane_lyrics_ui)
endif()
