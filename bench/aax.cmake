# What the AAX wrapper costs per block: the module's render procedure, loaded and driven by the
# simulated host, against the same processor's processBlock called directly.
if(CORVANE_WITH_JUCE AND TARGET corvane_aax_module AND TARGET corvane_aax_host_sim)
    add_executable(aax_bench ${CMAKE_CURRENT_LIST_DIR}/aax/AAXBenchmarks.cpp)
    target_link_libraries(aax_bench PRIVATE corvane_aax_host_sim corvane_processor benchmark::benchmark corvane_warnings)
    target_compile_definitions(aax_bench PRIVATE CORVANE_MODULE_PATH="$<TARGET_FILE:corvane_aax_module>")
    add_dependencies(aax_bench corvane_aax_module)
    corvane_add_benchmark_run(aax_bench)
endif()
