# The readers of untrusted replies: marker extraction, JSON decoding, song and lyric lookup.
if(TARGET sorvane_service AND TARGET sorvane_lyrics)
    sorvane_add_fuzzer(replies_fuzzer
        SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/replies/RepliesFuzzer.cpp"
        LIBS sorvane_service sorvane_lyrics)
endif()
