# What a scan of the preset tree costs as a folder grows.
if(CORVANE_WITH_JUCE)
    add_executable(core_bench ${CMAKE_CURRENT_LIST_DIR}/core/PresetScanBenchmarks.cpp)
    target_link_libraries(core_bench PRIVATE corvane_core benchmark::benchmark corvane_warnings)
    corvane_add_benchmark_run(core_bench)
endif()
