# The INI loader: any file, however damaged, must load, answer and save without a fault.
sorvane_add_fuzzer(ini_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/ini/IniFuzzer.cpp LIBS sorvane_storage)
