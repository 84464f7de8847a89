#pragma once

#include "BlinkingComponent.h"
#include "Parameter.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinSource;

/**
    Base of every skin widget. The skin document can link a widget to one parameter
    (the widget then shows the parameter's value and sets it when the user moves it),
    give it actions that turn gestures into event uids, and the editors listen to its
    gestures, value changes and events.

    A linked widget sits in its parameter's asynchronous listener list, so parameter
    changes reach it on the message thread whatever thread made them. Everything else
    runs on the message thread too.
*/
class GUIController  : public Parameter::Listener,
                       public BlinkingComponent
{
public:
    /** Told about what the user does with a widget; every operation does nothing by default. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void controllerGestureBegan (GUIController*) {}
        virtual void controllerGestureEnded (GUIController*) {}
        /** A user action changed the value of the controller's linked parameter. */
        virtual void controllerValueChanged (GUIController*) {}
        /** One of the controller's actions fired. */
        virtual void handleControllerEvent (GUIController*, int /*uid*/) {}
    };

    GUIController();
    ~GUIController() override;

    //==============================================================================
    /** Calls updateFromParameter. */
    void parameterChanged (Parameter* changed) override;

    /** Stores the uid of an action type; the base knows no action. */
    virtual void setAction (const juce::String& type, int uid, const juce::String& eventName);

    /** Shows the parameter's value without notifying anybody; nothing in the base. */
    virtual void updateFromParameter (Parameter*) {}

    /** Adds a listener once; null is ignored. */
    virtual void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Reads the element's parameter links and actions (tags and attribute names in
        any letter case). A widget's own loader runs this first.
    */
    virtual void loadFromXml (juce::XmlElement* element, SkinSource* source);

    /** The linked parameter, or null. */
    Parameter* getParameter() const noexcept            { return parameter; }

    //==============================================================================
    // Each broadcast reaches the listeners last added first.
    void sendGestureBegan();
    void sendGestureEnded();
    void sendValueChanged();
    void sendEvent (int uid);

protected:
    /** Begins (or ends) a gesture on the linked parameter, telling its synchronous
        listeners and then the controller's own; does nothing while unlinked.
    */
    void beginParameterGesture();
    void endParameterGesture();

private:
    void linkTo (Parameter* newParameter);

    template <typename Callback>
    void callListeners (Callback&& callback);

    juce::Array<Listener*> listeners;
    Parameter* parameter = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GUIController)
};
