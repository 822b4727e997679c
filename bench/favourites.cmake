# Loading and saving the favourites list file at a realistic size.
sorvane_add_bench(favourites_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/favourites/list_file_bench.cpp
    LIBS sorvane_favourites)
