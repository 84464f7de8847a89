#include "DefaultLookAndFeel.h"
#include "DisplayForWindows.h"
#include "SkinTestSupport.h"
#include "TextInput.h"

using namespace SkinTest;

namespace
{
    // The built-in skin's preset name field.
    const char* const presetNameElement =
        "<TextInput name=\"PresetNameDisplay\" editable=\"onDoubleClick\" textColour=\"FF501700\""
        " highlightedTextColour=\"FFFA7B2A\" backgroundColour=\"0\" highlightColour=\"FF501700\""
        " caretColour=\"FF501700\" outlineColour=\"0\" focusedOutlineColour=\"0\">"
        "<font name=\"Halvorn Sans\" height=\"21.5\" style=\"bold\" extraKerning=\"-0.05\"/>"
        "<pos left=\"859\" top=\"475\"/><size width=\"274\" height=\"35\"/>"
        "<links><link as=\"connectedTo\" param=\"Preset Name\"/></links></TextInput>";

    struct CountingListener  : public Parameter::Listener
    {
        void parameterChanged (Parameter* p) override   { texts.add (p->getText()); }
        juce::StringArray texts;
    };

    class TextInputTest  : public Fixture
    {
    protected:
        void SetUp() override
        {
            Fixture::SetUp();
            juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
            presetName = plugin->parameterManager.getParameter (juce::String ("Preset Name"));
            presetName->setText ("Init", false);
        }

        void TearDown() override
        {
            juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
            Fixture::TearDown();
        }

        std::unique_ptr<TextInput> load (const juce::String& elementText)
        {
            auto input = std::make_unique<TextInput> ("field");
            SkinSource source (*owner, {});
            auto element = juce::parseXML (elementText);
            input->loadFromXml (element.get(), &source);

            if (auto* parameter = input->getParameter())
                input->updateFromParameter (parameter);

            return input;
        }

        DefaultLookAndFeel lookAndFeel;
        Parameter* presetName = nullptr;
    };
}

TEST_F (TextInputTest, ReadsItsSkinElementAndOpensTheEditorOnlyByItsMouseAction)
{
    struct Case { const char* what; juce::String element; bool pressEdits, doubleClickEdits, takesClicks; };
    const Case cases[] =
    {
        { "preset name field", presetNameElement, false, true, true },
        { "default", "<TextInput name=\"x\"/>", true, false, true },
        { "not editable", "<TextInput name=\"x\" editable=\"no\"/>", false, false, false },
        { "unknown value keeps the default", "<TextInput name=\"x\" EDITABLE=\"sometimes\"/>", true, false, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        auto pressed = load (c.element), doubleClicked = load (c.element);
        pressed->mouseDown (mouseEvent (*pressed, { 5.0f, 5.0f }));
        doubleClicked->mouseDoubleClick (mouseEvent (*doubleClicked, { 5.0f, 5.0f }));

        EXPECT_EQ (pressed->getEditor() != nullptr, c.pressEdits);
        EXPECT_EQ (doubleClicked->getEditor() != nullptr, c.doubleClickEdits);

        bool takesClicks = false, childrenTakeClicks = false;
        pressed->getInterceptsMouseClicks (takesClicks, childrenTakeClicks);
        EXPECT_EQ (takesClicks, c.takesClicks);
    }

    const auto field = load (presetNameElement);
    EXPECT_EQ (field->getText(), "Init");
    EXPECT_EQ (field->getBounds(), juce::Rectangle<int> (859, 475, 274, 35));
    EXPECT_EQ (field->getFont().getTypefaceName(), "Halvorn Sans");
    EXPECT_FLOAT_EQ (field->getFont().getHeight(), 21.5f);
    EXPECT_TRUE (field->getFont().isBold());
    EXPECT_FLOAT_EQ (field->getFont().getExtraKerningFactor(), -0.05f);
    EXPECT_EQ (field->findColour (juce::TextEditor::textColourId), juce::Colour (0xff501700));
    EXPECT_TRUE (field->findColour (juce::TextEditor::backgroundColourId).isTransparent());
}

TEST_F (TextInputTest, PaintsNothingOfItsOwnWhileATransparentFieldIsBeingEdited)
{
    const auto field = load (presetNameElement);
    const auto countOwnInk = [&]
    {
        juce::Image image (juce::Image::ARGB, field->getWidth(), field->getHeight(), true);
        juce::Graphics g (image);
        field->paint (g);
        int ink = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                ink += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;

        return ink;
    };

    EXPECT_GT (countOwnInk(), 0);
    field->startEditing();
    EXPECT_EQ (countOwnInk(), 0);
}

// Display: the editor needs the keyboard focus.
TEST_F (TextInputTest, OnDisplayCommitsATypedTextToItsParameterOnceAndCancelsOnEscape)
{
    SKIP_WITHOUT_DISPLAY();

    struct Case { const char* what; const char* typed; int endKey; const char* shown; juce::StringArray written; };
    const Case cases[] =
    {
        { "Return commits", "!", juce::KeyPress::returnKey, "Init!", { "Init!" } },
        { "Return with the same text writes nothing", "", juce::KeyPress::returnKey, "Init", {} },
        { "Escape brings the start back", "xy", juce::KeyPress::escapeKey, "Init", {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        presetName->setText ("Init", false);

        juce::Component window;
        window.setBounds (100, 100, 400, 100);
        auto field = load (presetNameElement);
        field->setTopLeftPosition (10, 10);
        window.addAndMakeVisible (*field);
        window.addToDesktop (0);
        window.setVisible (true);
        pump();

        CountingListener written;
        presetName->addListener (&written);

        field->startEditing();
        pump();
        auto* editor = field->getEditor();
        ASSERT_TRUE (editor->isEditing());

        editor->moveCaretToEnd();

        for (auto key : juce::String (c.typed))
        {
            editor->keyPressed (juce::KeyPress (0, {}, key));
            pump();
            EXPECT_EQ (field->getText(), editor->getText());     // the field follows every keystroke
        }

        editor->keyPressed (juce::KeyPress (c.endKey));
        pump();

        EXPECT_EQ (field->getText(), c.shown);
        EXPECT_EQ (written.texts, c.written);
        EXPECT_EQ (presetName->getText(), c.written.isEmpty() ? "Init" : c.written[0]);
        EXPECT_FALSE (editor->isVisible());
        EXPECT_EQ (editor->getParentComponent(), field.get());

        presetName->removeListener (&written);
        window.removeFromDesktop();
    }
}
