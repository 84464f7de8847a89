#include "DefaultLookAndFeel.h"
#include "FileDialogs.h"
#include "PathComponent.h"

#include <gtest/gtest.h>

namespace
{
    struct CountingListener  : public PathComponent::Listener
    {
        void pathChanged (PathComponent* c) override    { seen.add (c->getPath()); }
        juce::StringArray seen;
    };

    /** Keeps each request and answers only when the test says so. */
    struct ScriptedChooser  : public FileDialogs::Chooser
    {
        ScriptedChooser()   { previous = FileDialogs::setChooser (this); }
        ~ScriptedChooser() override  { FileDialogs::setChooser (previous); }

        void launch (juce::Component&, const FileDialogs::Request& r, std::function<void (const FileDialogs::Answer&)> c) override
        {
            request = r;
            callback = std::move (c);
        }

        /** Answers with the files as clicked, or as the chooser hands back a folder it did not show. */
        void answer (juce::Array<juce::File> results, bool clicked)
        {
            FileDialogs::Answer a { results, juce::File ("/data"), {}, {} };

            if (clicked)
                a.clickedFiles = results;

            std::exchange (callback, nullptr) (a);
        }

        FileDialogs::Chooser* previous = nullptr;
        FileDialogs::Request request;
        std::function<void (const FileDialogs::Answer&)> callback;
    };
}

class PathComponentTest  : public ::testing::Test
{
protected:
    PathComponentTest()   { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
    ~PathComponentTest() override  { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    DefaultLookAndFeel lookAndFeel;
};

TEST_F (PathComponentTest, TakesAPathThatNamesAnotherFolderOnThisPlatform)
{
    struct Case { const char* what; const char* from; const char* to; bool notify, taken; };
    const Case cases[] =
    {
        // Linux file names are case-sensitive: these are two folders.
        { "other letter case", "/data/Presets", "/data/presets", true, true },
        { "same folder with a trailing separator", "/data/presets", "/data/presets/", true, false },
        { "same text", "/data/presets", "/data/presets", true, false },
        { "other folder, quietly", "/data/presets", "/data/maps", false, true },
        { "from empty", "", "/data/maps", true, true },
        { "to empty", "/data/maps", "", true, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        PathComponent field;
        field.setPath (c.from, false);
        CountingListener first, second;
        field.addListener (&first);
        field.addListener (&second);

        field.setPath (c.to, c.notify);

        EXPECT_EQ (field.getPath(), c.taken ? juce::String (c.to) : juce::String (c.from));
        EXPECT_EQ (first.seen.size(), c.taken && c.notify ? 1 : 0);
        EXPECT_EQ (second.seen.size(), first.seen.size());
    }
}

TEST_F (PathComponentTest, BrowsesForAFolderAndIgnoresACancelARefusalOrAClosedField)
{
    ScriptedChooser chooser;
    const auto chosen = juce::File ("/data/chosen");

    struct Case { const char* what; bool cancel, deleteFieldFirst, refused; };
    const Case cases[] = { { "chosen", false, false, false }, { "cancelled", true, false, false },
                           { "field gone", false, true, false }, { "not what the chooser showed", false, false, true } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        auto field = std::make_unique<PathComponent>();
        field->chooserTitle = "Choose the preset folder";
        field->initialFolder = juce::File ("/data/start");
        field->filePatterns = "*.cvprst";
        field->setPath ("/data/old", false);
        CountingListener listener;
        field->addListener (&listener);
        int refusals = 0;
        field->onChoiceRefused = [&refusals] { ++refusals; };

        field->getBrowseButton().triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);     // the click is delivered asynchronously

        ASSERT_TRUE (chooser.callback != nullptr);
        EXPECT_EQ (chooser.request.title, "Choose the preset folder");
        EXPECT_EQ (chooser.request.initialFile, juce::File ("/data/start"));
        EXPECT_EQ (chooser.request.patterns, "*.cvprst");
        EXPECT_TRUE ((chooser.request.flags & juce::FileBrowserComponent::canSelectDirectories) != 0);
        EXPECT_TRUE ((chooser.request.flags & juce::FileBrowserComponent::openMode) != 0);

        if (c.deleteFieldFirst)
            field.reset();

        chooser.answer (c.cancel ? juce::Array<juce::File>() : juce::Array<juce::File> { chosen }, ! c.refused);

        if (field != nullptr)
        {
            const auto kept = c.cancel || c.refused;
            EXPECT_EQ (field->getPath(), kept ? "/data/old" : chosen.getFullPathName());
            EXPECT_EQ (listener.seen.size(), kept ? 0 : 1);
            EXPECT_EQ (refusals, c.refused ? 1 : 0);
        }
    }
}

TEST_F (PathComponentTest, DisabledFieldDrawsAtHalfAlphaAndDisablesItsButton)
{
    juce::Component parent;
    PathComponent field;
    parent.setSize (300, 24);
    parent.addAndMakeVisible (field);
    field.setBounds (0, 0, 300, 24);
    field.setPath ("/data/presets", false);

    const auto fieldPixel = [&] { return field.createComponentSnapshot (field.getLocalBounds()).getPixelAt (100, 3); };
    const auto enabledPixel = fieldPixel();

    parent.setEnabled (false);
    const auto disabledPixel = fieldPixel();

    EXPECT_FALSE (field.getBrowseButton().isEnabled());
    EXPECT_EQ (enabledPixel.getAlpha(), 255);
    EXPECT_NEAR (disabledPixel.getAlpha(), 128, 2);

    parent.setEnabled (true);
    EXPECT_TRUE (field.getBrowseButton().isEnabled());
}
