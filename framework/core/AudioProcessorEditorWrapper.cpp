#include "AudioProcessorEditorWrapper.h"

#include "BasePlugin.h"
#include "BasePluginEditor.h"

AudioProcessorEditorWrapper::AudioProcessorEditorWrapper (BasePlugin& plugin, BasePluginEditor* keptEditor)
    : juce::AudioProcessorEditor (plugin), editor (keptEditor)
{
    jassert (keptEditor != nullptr);

    if (keptEditor != nullptr)
    {
        keptEditor->setVisible (true);
        addAndMakeVisible (keptEditor);
        setSize (juce::jmax (1, keptEditor->getWidth()), juce::jmax (1, keptEditor->getHeight()));
    }
}

AudioProcessorEditorWrapper::~AudioProcessorEditorWrapper()
{
    // The kept editor outlives this wrapper (a safe pointer, in case it did not). When a
    // newer wrapper has taken it over already, it is left showing there.
    if (auto* kept = editor.getComponent(); kept != nullptr && kept->getParentComponent() == this)
    {
        kept->setVisible (false);
        removeChildComponent (kept);
    }
}

void AudioProcessorEditorWrapper::resized()
{
    if (auto* kept = editor.getComponent())
        kept->setTopLeftPosition (0, 0);
}
