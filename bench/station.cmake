# Round trips to the local station, which end-to-end runs make by the thousand.
if(TARGET sorvane_station_lib)
    sorvane_add_bench(station_bench
        SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/station/StationBench.cpp"
        LIBS sorvane_station_lib PkgConfig::CPPHTTPLIB)
endif()
