#include "BoolParameter.h"
#include "TextButtonWithIcon.h"
#include "ToolbarDrawableButton.h"

#include <gtest/gtest.h>

namespace
{
    struct CountingListener  : public Parameter::Listener
    {
        void parameterChanged (Parameter*) override     { ++changes; }
        int changes = 0;
    };

    void pump()     { juce::MessageManager::getInstance()->runDispatchLoopUntil (20); }

    struct BoundButton
    {
        const char* what;
        std::function<std::unique_ptr<juce::Button> (Parameter&)> make;
    };
}

TEST (BoundButtons, WriteTheirToggleStateToTheParameterAndFollowIt)
{
    const juce::DrawableRectangle offIcon, onIcon;

    const BoundButton buttons[] =
    {
        { "text button with icons", [&] (Parameter& p)
          {
              auto b = std::make_unique<TextButtonWithIcon>();
              b->setIcon (offIcon, &onIcon);
              b->setParameter (&p);
              return std::unique_ptr<juce::Button> (std::move (b));
          } },
        { "toolbar button", [] (Parameter& p)
          {
              auto b = std::make_unique<ToolbarDrawableButton> ("Learn", 20);
              b->setParameter (&p);
              return std::unique_ptr<juce::Button> (std::move (b));
          } },
    };

    for (const auto& kind : buttons)
    {
        SCOPED_TRACE (kind.what);

        BoolParameter parameter (0, "Learn", "Off;On");
        auto button = kind.make (parameter);
        button->setClickingTogglesState (true);
        CountingListener listener;
        parameter.addListener (&listener);

        button->triggerClick();
        pump();
        EXPECT_TRUE (parameter.getBoolValue());
        EXPECT_EQ (listener.changes, 1);

        if (auto* withIcon = dynamic_cast<TextButtonWithIcon*> (button.get()))
        {
            EXPECT_FALSE (withIcon->getChildComponent (0)->isVisible());     // the off icon
            EXPECT_TRUE (withIcon->getChildComponent (1)->isVisible());
        }

        // The button follows the parameter; writing the same value back tells nobody.
        parameter.setBoolValue (false, true);
        pump();
        EXPECT_FALSE (button->getToggleState());
        EXPECT_FALSE (parameter.getBoolValue());
        EXPECT_EQ (listener.changes, 2);

        parameter.removeListener (&listener);
    }
}
