#pragma once

#include "BasePluginEditor.h"
#include "Corvane.h"
#include "FileDialogs.h"

#include <gtest/gtest.h>

/** Answers every file request at once with the files it is given, and keeps the requests.
    Unless told what it showed, it answers as if the files had been clicked.
*/
struct ScriptedChooser  : public FileDialogs::Chooser
{
    void launch (juce::Component&, const FileDialogs::Request& request, std::function<void (const FileDialogs::Answer&)> answered) override
    {
        requests.add (request);
        answered ({ answer, shownFolder, typedName, shownFolder == juce::File() ? answer : clicked });
    }

    juce::Array<FileDialogs::Request> requests;
    juce::Array<juce::File> answer;
    juce::File shownFolder;
    juce::String typedName;
    juce::Array<juce::File> clicked;
};

/**
    The real processor from the module's factory, with the editor it keeps, on an empty user
    data folder under the test's own HOME, and a scripted file chooser.
*/
class EditorTest  : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName().contains ("test-home"))
            GTEST_SKIP() << "HOME is not a test folder: run this through ctest";

        userDataRoot().deleteRecursively();
        plugin.reset (dynamic_cast<BasePlugin*> (createPluginFilter()));
        ASSERT_NE (plugin, nullptr);
        editor = plugin->getEditor();
        ASSERT_NE (editor, nullptr);
        previousChooser = FileDialogs::setChooser (&chooser);
        pump();
    }

    void TearDown() override
    {
        FileDialogs::setChooser (previousChooser);
        plugin.reset();
        userDataRoot().deleteRecursively();
    }

    static juce::File userDataRoot()
    {
        return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("Halvorn");
    }

    /** Lets asynchronous updates and timers run. */
    static void pump (int milliseconds = 30)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    template <typename Widget>
    Widget* find (const juce::String& name) const
    {
        return dynamic_cast<Widget*> (BasePluginEditor::findComponentByName (editor, name));
    }

    StatusBar& status() const                   { return *editor->getStatusBar(); }
    PresetCollection* presets() const           { return plugin->getPresetCollection ("Presets"); }
    juce::File presetRoot() const               { return presets()->getRootFolder(); }

    std::unique_ptr<BasePlugin> plugin;
    BasePluginEditor* editor = nullptr;
    ScriptedChooser chooser;
    FileDialogs::Chooser* previousChooser = nullptr;
};
