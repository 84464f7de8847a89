#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class BasePlugin;
class BasePluginEditor;

/**
    The thin editor that a host receives: it shows the processor's kept editor while
    the host's view is open.

    The kept editor lives as long as the processor; the host creates and deletes
    wrappers as it opens and closes its view. Deleting a wrapper hides the kept editor
    and detaches it without deleting it.
*/
class AudioProcessorEditorWrapper  : public juce::AudioProcessorEditor
{
public:
    AudioProcessorEditorWrapper (BasePlugin& plugin, BasePluginEditor* keptEditor);
    ~AudioProcessorEditorWrapper() override;

    /** @internal */
    void resized() override;

private:
    juce::Component::SafePointer<juce::Component> editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioProcessorEditorWrapper)
};
