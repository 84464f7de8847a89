# What the command-line host's Ogg Vorbis reader costs as the bytes after a stream and the links
# of a chain grow.
if(CORVANE_WITH_JUCE AND TARGET corvane-host)
    add_executable(host_bench
        ${CMAKE_CURRENT_LIST_DIR}/host/OggReaderBenchmarks.cpp
        ${PROJECT_SOURCE_DIR}/tools/aax-host/OggVorbisFileReader.cpp)
    target_include_directories(host_bench PRIVATE ${PROJECT_SOURCE_DIR}/tools/aax-host)
    target_link_libraries(host_bench PRIVATE corvane_juce benchmark::benchmark corvane_warnings)
    corvane_add_benchmark_run(host_bench)
endif()
