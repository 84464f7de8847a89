# Cost of the product processor's block walk (MIDI and clock cuts, parameter
# write-backs) on top of the engine's rendering.
if(CORVANE_WITH_JUCE AND TARGET corvane_processor)
    add_executable(processor_bench ${CMAKE_CURRENT_LIST_DIR}/processor/ProcessorBenchmarks.cpp)
    target_link_libraries(processor_bench PRIVATE corvane_processor benchmark::benchmark corvane_warnings)
    corvane_add_benchmark_run(processor_bench)
endif()
