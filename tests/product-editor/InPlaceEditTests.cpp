#include "EditorTestSupport.h"

#include "CorvaneEditor.h"
#include "CorvanePresetBrowser.h"
#include "DisplayForWindows.h"
#include "OptionsWindow.h"
#include "TextInput.h"

#include <functional>
#include <map>

namespace
{
    /** The editor of the real processor on the desktop, with one preset in the user's tree. */
    class InPlaceEditTest  : public EditorTest
    {
    protected:
        void SetUp() override
        {
            SKIP_WITHOUT_DISPLAY();
            EditorTest::SetUp();

            if (IsSkipped())
                return;

            ASSERT_TRUE (plugin->savePresetToFile (presets(), presetRoot().getChildFile ("Warm Pad" + presets()->getExtension())));
            presets()->refresh();

            editor->setTopLeftPosition (20, 20);
            editor->addToDesktop (0);
            editor->setVisible (true);
            pump();
        }

        void TearDown() override
        {
            if (editor != nullptr && editor->isOnDesktop())
                editor->removeFromDesktop();

            EditorTest::TearDown();
        }

        /** The contrast ratio of two opaque colours, from 1 (none) to 21 (black on white). */
        static double contrast (juce::Colour a, juce::Colour b)
        {
            const auto luminance = [] (juce::Colour c)
            {
                const auto linear = [] (juce::uint8 v)
                {
                    const auto s = v / 255.0;
                    return s <= 0.03928 ? s / 12.92 : std::pow ((s + 0.055) / 1.055, 2.4);
                };

                return 0.2126 * linear (c.getRed()) + 0.7152 * linear (c.getGreen()) + 0.0722 * linear (c.getBlue());
            };

            const auto la = luminance (a), lb = luminance (b);
            return (juce::jmax (la, lb) + 0.05) / (juce::jmin (la, lb) + 0.05);
        }
    };
}

// Display: an in-place edit floats as a window of its own, which shows nothing of its field
// through it where the window system does not compose windows.
TEST_F (InPlaceEditTest, EditsOnDisplayStartWithTheTextSelectedAndLookLikeAFieldWithReadableText)
{
    auto* corvaneEditor = dynamic_cast<CorvaneEditor*> (editor);
    ASSERT_NE (corvaneEditor, nullptr);

    struct Case { const char* what; std::function<TextInput* ()> startEdit; };
    const Case cases[] =
    {
        { "preset name on the face", [&]() -> TextInput*
          {
              auto* field = find<TextInput> ("PresetNameDisplay");
              field->setText ("Warm Pad");
              field->startEditing();
              return field;
          } },
        { "author on the presets page", [&]() -> TextInput*
          {
              auto& tabs = editor->getOptionsWindow()->getTabs();
              editor->getOptionsWindow()->show();
              tabs.setCurrentTabIndex (tabs.getTabNames().indexOf ("Presets"));
              pump();
              auto* field = &editor->getPresetsPage()->getAuthorInput();
              field->setText ("Ann Author");
              field->startEditing();
              return field;
          } },
        { "rename in the preset browser", [&]() -> TextInput*
          {
              editor->getOptionsWindow()->close();
              auto* window = corvaneEditor->getPresetBrowser();
              window->refreshBrowser();
              window->show();
              pump();
              auto* column = dynamic_cast<ColumnBrowser::ListColumn*> (window->getBrowser().getColumn (0));
              auto row = column != nullptr ? column->getNumItems() : 0;

              while (--row >= 0 && column->getItemText (row) != "Warm Pad") {}

              if (row < 0)
                  return nullptr;

              column->getList().selectRow (row);
              pump();
              column->startRenaming (row);
              auto* item = dynamic_cast<ColumnBrowser::ListColumn::ItemComponent*> (column->getList().getComponentForRowNumber (row));
              return item != nullptr ? &item->getNameField() : nullptr;
          } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        auto* field = c.startEdit();
        ASSERT_NE (field, nullptr);
        pump();
        auto* edit = field->getEditor();
        ASSERT_TRUE (edit != nullptr && edit->isEditing());

        // Typing replaces the whole text.
        EXPECT_GT (edit->getTotalNumChars(), 0);
        EXPECT_EQ (edit->getHighlightedRegion(), juce::Range<int> (0, edit->getTotalNumChars()));

        // Without the selection, the field's own text colour on what the window paints.
        edit->moveCaretToEnd();
        edit->setCaretVisible (false);
        const auto image = edit->createComponentSnapshot (edit->getLocalBounds(), true, 1.0f);
        edit->setCaretVisible (true);

        std::map<juce::uint32, int> counts;
        int seeThrough = 0;

        for (int y = 0; y < image.getHeight(); ++y)
        {
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto pixel = image.getPixelAt (x, y);
                seeThrough += pixel.getAlpha() < 255 ? 1 : 0;
                ++counts[pixel.getARGB()];
            }
        }

        EXPECT_EQ (seeThrough, 0);

        // The most common colour is the ground; the text is drawn, and reads on it.
        const juce::Colour ground (std::max_element (counts.begin(), counts.end(),
                                                     [] (auto& a, auto& b) { return a.second < b.second; })->first);
        const auto text = edit->findColour (juce::TextEditor::textColourId);
        const auto distance = [] (juce::Colour a, juce::Colour b)
        {
            return std::abs (a.getRed() - b.getRed()) + std::abs (a.getGreen() - b.getGreen()) + std::abs (a.getBlue() - b.getBlue());
        };

        int ink = 0;

        for (const auto& [argb, count] : counts)
            ink += distance (juce::Colour (argb), text) < distance (juce::Colour (argb), ground) ? count : 0;

        EXPECT_GT (ink, 20);
        EXPECT_GE (contrast (text, ground), 3.0) << ground.toDisplayString (true) << " under " << text.toDisplayString (true);

        edit->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        pump();
        EXPECT_FALSE (edit->isEditing());
    }
}
