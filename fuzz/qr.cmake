sorvane_add_fuzzer(qr_fuzzer SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/qr/QrFuzz.cpp" LIBS sorvane_share sorvane_qr)
