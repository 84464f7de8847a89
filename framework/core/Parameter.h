#pragma once

#include <juce_events/juce_events.h>

/**
    One plug-in parameter: an index, a name, an automatable flag and a typed value
    that can be read and set as a plain value, a normalised 0..1 value, an integer,
    a boolean or a text.

    Every value change made with notify set reaches two lists of listeners: the
    synchronous ones at once on the thread that made the change (the processor), and
    the asynchronous ones later on the message thread (editors), once however many
    changes came before. A change that leaves the value as it was notifies nobody.

    Values are kept in atomics, so any thread may read them without a lock. Listener
    lists are walked from the last added listener to the first, so a listener may
    remove itself while it is called.

    The kinds derive from this class; ParameterManager owns them.
*/
class Parameter  : public juce::AsyncUpdater
{
public:
    /** Receives a parameter's value changes and the begin and end of gestures on it. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void parameterChanged (Parameter* parameter) = 0;
        virtual void parameterGestureBegan (Parameter*) {}
        virtual void parameterGestureEnded (Parameter*) {}
    };

    Parameter (int index, const juce::String& name);
    ~Parameter() override;

    /** A new parameter of the same kind with the same automatable flag, limits and
        value (and items or text), but with its own index and name and no listeners.
        The caller owns it, normally by handing it to ParameterManager::addParameter.
    */
    virtual Parameter* clone (int newIndex, const juce::String& newName) const = 0;

    virtual float getValue() const = 0;
    virtual float getNormalisedValue() const = 0;
    virtual int getIntValue() const = 0;
    virtual bool getBoolValue() const = 0;
    virtual juce::String getText() const = 0;

    // Each setter converts the value to the kind's own form and clamps it to the
    // range; with notify set, a changed value reaches the listeners.
    virtual void setValue (float value, bool notify) = 0;
    virtual void setNormalisedValue (float value, bool notify) = 0;
    virtual void setIntValue (int value, bool notify) = 0;
    virtual void setBoolValue (bool value, bool notify) = 0;
    virtual void setText (const juce::String& text, bool notify) = 0;

    /** Takes the source's value in the form this kind stores it. */
    virtual void setValueFrom (const Parameter& source, bool notify) = 0;

    //==============================================================================
    int getIndex() const noexcept                       { return index; }
    const juce::String& getName() const noexcept        { return name; }
    bool isAutomatable() const noexcept                 { return automatable; }
    void setAutomatable (bool shouldBeAutomatable) noexcept { automatable = shouldBeAutomatable; }

    //==============================================================================
    /** Adds a listener told on the changing thread; adding one twice does nothing. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Adds a listener told on the message thread; adding one twice does nothing. */
    void addAsyncListener (Listener* listener);
    void removeAsyncListener (Listener* listener);

    /** Calls parameterChanged of every synchronous listener. */
    void notifyListeners();

    /** Tells the synchronous listeners that a user or host gesture begins or ends. */
    void beginChangeGesture();
    void endChangeGesture();

    /** Calls parameterChanged of every asynchronous listener (on the message thread). */
    void handleAsyncUpdate() override;

protected:
    /** What every setter does after storing a changed value. */
    void valueChanged (bool notify);

private:
    template <typename Callback>
    static void callLastAddedFirst (const juce::Array<Listener*>& list, Callback&& callback);

    const int index;
    const juce::String name;
    bool automatable = false;
    juce::Array<Listener*> listeners, asyncListeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Parameter)
};
