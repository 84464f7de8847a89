# Throughput of the delay engine, with a peer workload built from JUCE's own
# delay line and biquad for comparison when JUCE is part of the build.
add_executable(engine_bench
    ${CMAKE_CURRENT_LIST_DIR}/engine/EngineBenchmarks.cpp)
target_link_libraries(engine_bench PRIVATE corvane_engine benchmark::benchmark corvane_warnings)
corvane_add_benchmark_run(engine_bench)

if(CORVANE_WITH_JUCE)
    target_sources(engine_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR}/engine/JucePeer.cpp)
    target_link_libraries(engine_bench PRIVATE corvane_juce)
    target_compile_definitions(engine_bench PRIVATE CORVANE_BENCH_JUCE_PEER=1)
endif()
