#pragma once

#include "DefaultLookAndFeel.h"
#include "ModalComponent.h"

#include <gtest/gtest.h>

namespace WindowsTest
{
    /** Text is measured through JUCE's default look-and-feel, so each test makes the
        toolkit's the default for its duration.
    */
    struct LookAndFeelScope
    {
        LookAndFeelScope()     { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
        ~LookAndFeelScope()    { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

        DefaultLookAndFeel lookAndFeel;
    };

    /** An editor stand-in that hosts modal components over its whole area. */
    struct TestDesktop  : public juce::Component,
                          public ModalComponent::Desktop
    {
        explicit TestDesktop (int width = 800, int height = 600)    { setSize (width, height); }
        juce::Rectangle<int> getModalArea() override                 { return getLocalBounds(); }
    };

    inline juce::MouseEvent mouseAt (juce::Component& c, int x, int y)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> p ((float) x, (float) y);
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p,
                                 juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, now, p, now, 1, false);
    }

    /** Lets asynchronous updates posted so far run. */
    inline void deliverAsyncUpdates()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
}
