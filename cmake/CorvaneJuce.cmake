# JUCE's modules are compiled once, into one static library that every target links.
# JUCE module targets are INTERFACE libraries that add their sources to whoever links
# them; linking them PRIVATE here keeps those sources in this one library, while the
# include paths and definitions are re-exported to the users.

add_library(corvane_juce STATIC)
target_link_libraries(corvane_juce
    PRIVATE
        juce::juce_core
        juce::juce_cryptography
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
        juce::juce_audio_basics
        juce::juce_audio_formats
        juce::juce_audio_processors
        juce::juce_audio_utils
        juce::juce_dsp
    PUBLIC
        juce::juce_recommended_config_flags
        png jpeg z FLAC vorbis vorbisenc vorbisfile ogg)

target_compile_definitions(corvane_juce PUBLIC
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1)

target_include_directories(corvane_juce INTERFACE
    $<TARGET_PROPERTY:corvane_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(corvane_juce INTERFACE
    $<TARGET_PROPERTY:corvane_juce,COMPILE_DEFINITIONS>)
