sorvane_add_bench(qr_bench SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/qr/QrBench.cpp" LIBS sorvane_share sorvane_qr)
