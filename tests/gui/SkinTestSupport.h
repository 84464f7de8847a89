#pragma once

#include "../core/TestProduct.h"

#include "GFXPanel.h"
#include "SkinSource.h"

#include <juce_cryptography/juce_cryptography.h>

/** Filmstrips whose frame k is one flat colour (one pixel tells which frame was painted),
    skin archives written into a test's own skins folder, and mouse events without a display.
*/
namespace SkinTest
{
    inline juce::Image makeStrip (int width, int frameHeight, int frames)
    {
        juce::Image strip (juce::Image::ARGB, width, frameHeight * frames, true);
        juce::Graphics g (strip);

        for (int k = 0; k < frames; ++k)
        {
            g.setColour (juce::Colour ((juce::uint8) (k & 0xff), (juce::uint8) (40 + 60 * (k >> 8)), (juce::uint8) 200));
            g.fillRect (0, k * frameHeight, width, frameHeight);
        }

        return strip;
    }

    /** The frame whose colour the component shows at that point, or -1 for another colour. */
    inline int frameShown (juce::Component& c, int x = 2, int y = 2)
    {
        const auto pixel = c.createComponentSnapshot (c.getLocalBounds(), false, 1.0f).getPixelAt (x, y);
        const auto high = pixel.getGreen() - 40;
        return pixel.getBlue() == 200 && high % 60 == 0 ? pixel.getRed() + (high / 60 << 8) : -1;
    }

    inline juce::MouseEvent mouseEvent (juce::Component& c, juce::Point<float> position,
                                        juce::ModifierKeys mods = {}, juce::Point<float> downPosition = {})
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods, 1.0f, 0.0f, 0.0f,
                                 0.0f, 0.0f, &c, &c, now, downPosition, now, 1, false);
    }

    inline juce::MemoryBlock pngOf (const juce::Image& image)
    {
        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream (image, out);
        return out.getMemoryBlock();
    }

    inline juce::MemoryBlock textOf (const juce::String& text)  { return { text.toRawUTF8(), text.getNumBytesAsUTF8() }; }

    using Entries = std::vector<std::pair<juce::String, juce::MemoryBlock>>;

    inline juce::MemoryBlock zipOf (const Entries& entries)
    {
        // A real date: the archive format cannot store one before 1980.
        const auto stamp = juce::Time::getCurrentTime();
        juce::ZipFile::Builder builder;

        for (const auto& [name, data] : entries)
            builder.addEntry (new juce::MemoryInputStream (data, true), 6, name, stamp);

        juce::MemoryOutputStream out;
        builder.writeToStream (out, nullptr);
        return out.getMemoryBlock();
    }

    inline juce::String skinDocument (const juce::String& controls, const juce::String& panelGfx = {})
    {
        return "<PluginEditor application=\"Corvane\"><Panel name=\"MainPanel\">" + panelGfx
               + "<controls>" + controls + "</controls></Panel></PluginEditor>";
    }

    /** The widget of that type and component name anywhere below the component. */
    template <typename Widget>
    Widget* find (juce::Component& parent, const juce::String& name)
    {
        for (auto* child : parent.getChildren())
        {
            if (auto* w = dynamic_cast<Widget*> (child); w != nullptr && child->getName() == name)
                return w;

            if (auto* below = find<Widget> (*child, name))
                return below;
        }

        return nullptr;
    }

    /** A test product whose skins live in the fixture's temporary folder. */
    class Fixture  : public PluginFixture,
                     public SkinSource::Owner
    {
    protected:
        void SetUp() override
        {
            PluginFixture::SetUp();
            plugin = std::make_unique<TestProduct>();
            root.getChildFile ("Skins").createDirectory();
        }

        void TearDown() override
        {
            plugin.reset();
            PluginFixture::TearDown();
        }

        BasePlugin& getPlugin() const override              { return *plugin; }
        juce::File getSkinFile (const juce::String& name) const override
        {
            return root.getChildFile ("Skins").getChildFile (name + ".halvornskin");
        }

        /** Writes a skin archive; the digest text is the true one unless given. */
        void writeSkin (const juce::String& name, const Entries& innerEntries,
                        std::optional<juce::String> digestText = {}, bool withDigest = true, bool withSkin = true)
        {
            const auto inner = zipOf (innerEntries);
            Entries outer;

            if (withDigest)
                outer.push_back ({ name + ".md5", textOf (digestText.value_or (juce::MD5 (inner).toHexString())) });

            if (withSkin)
                outer.push_back ({ name + ".skin", inner });

            const auto archive = zipOf (outer);
            getSkinFile (name).replaceWithData (archive.getData(), archive.getSize());
        }

        /** Loads the main panel of a skin of these controls and images. */
        std::unique_ptr<GFXPanel> loadControls (const juce::String& controls, Entries images = {},
                                                const juce::String& panelGfx = {})
        {
            images.push_back ({ "skin.xml", textOf (skinDocument (controls, panelGfx)) });
            writeSkin ("Test", images);
            return SkinSource (*this, "Test").createMainPanel();
        }

        std::unique_ptr<TestProduct> plugin;
        SkinSource::Owner* const owner = this;
    };
}
