#include "EnumParameter.h"
#include "ModulatorRetriggerSettings.h"

#include <gtest/gtest.h>

TEST (ModulatorRetriggerSettings, LightsTheChosenModeOnly)
{
    EnumParameter mode (48, "MOD 1 Retrigger Mode", 0, "Off;Note;Transient");
    ModulatorRetriggerSettings window ("MOD 1 Retrigger Settings", &mode, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    window.setSize (338, 161);
    auto& chooser = *window.getModeChooser();

    for (int chosen = 0; chosen < chooser.getNumButtons(); ++chosen)
    {
        chooser.setSelectedIndex (chosen, false);
        const auto image = window.createComponentSnapshot (window.getLocalBounds());

        for (int i = 0; i < chooser.getNumButtons(); ++i)
        {
            auto& button = *chooser.getButton (i);
            const auto centre = window.getLocalPoint (&button, juce::Point<int> (button.getHeight() / 2, button.getHeight() / 2));
            const auto pixel = image.getPixelAt (centre.x, centre.y);
            EXPECT_EQ (pixel.getRed() > 200 && pixel.getBlue() < 120, i == chosen) << "chosen " << chosen << ", button " << i;
        }
    }
}
