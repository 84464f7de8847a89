#pragma once

#include "AAX_CEffectGUI.h"
#include "ModuleMessageThread.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace AAXClasses
{

class JuceAAX_Processor;

/**
    The editor object of one plug-in instance: it shows the processor's editor in the host's
    view container.

    The editor is made when the object is initialised and whenever it is shown again, and deleted
    whenever the host hides it, before the object lets go of the effect it belongs to, and when
    the object goes. On Linux the editor can be attached to a container that holds an X11
    window, or to one that holds a pixel buffer, which Draw fills with what the editor shows;
    in a container of any other kind it is made but shown nowhere.

    Every operation on the editor runs under a juce::MessageManagerLock on the module's own
    message thread, which this object keeps running.
*/
class JuceAAX_GUI final : public AAX_CEffectGUI
{
public:
    ~JuceAAX_GUI() override;

    /** The creation procedure of the description: a new editor object whose reference count is 0. */
    static IACFUnknown* Create();

    /** The editor's size; AAX_ERROR_NULL_OBJECT without an editor. */
    AAX_Result GetViewSize (AAX_Point* outSize) const override;

    /** Paints the editor into a pixel-buffer container's memory, within the area when one
        is given; does nothing in a container of any other kind.
    */
    AAX_Result Draw (AAX_Rect* area) override;

protected:
    void CreateViewContents() override;
    void CreateViewContainer() override;
    void DeleteViewContainer() override;

private:
    JuceAAX_GUI() = default;

    /** The effect this editor belongs to, when the host gave one of this module's effects. */
    JuceAAX_Processor* getEffect() const;
    void createEditorIfNeeded();

    ModuleMessageThread::User messageThread;
    std::unique_ptr<juce::AudioProcessorEditor> editor;

    JUCE_DECLARE_NON_COPYABLE (JuceAAX_GUI)
};

} // namespace AAXClasses
