#include "EditorTestSupport.h"

#include "../support/FifoWatchdog.h"
#include "TestFolder.h"

#include <filesystem>

#include <sys/stat.h>

namespace
{
    constexpr int presetNameIndex = 97;
}

class PresetDialogTest  : public EditorTest
{
protected:
    void setPresetName (const juce::String& name)
    {
        plugin->parameterManager.getParameter (presetNameIndex)->setText (name, true);
    }

    juce::File preset (const juce::String& fileName) const     { return presetRoot().getChildFile (fileName); }

    void answer (Halvorn::AlertWindow* alert, int result)
    {
        ASSERT_NE (alert, nullptr);
        ASSERT_TRUE (alert->isVisible());

        for (int i = 0; i < alert->getNumButtons(); ++i)
            if (alert->getButton (i)->getButtonText() == resultText (result))
                return alert->buttonClicked (alert->getButton (i));

        FAIL() << "no button for " << result;
    }

    static juce::String resultText (int result)
    {
        switch (result)
        {
            case Halvorn::AlertWindow::yes:         return "Yes";
            case Halvorn::AlertWindow::cancel:      return "Cancel";
            case Halvorn::AlertWindow::overwrite:   return "Overwrite";
            case Halvorn::AlertWindow::saveAs:      return "Save as";
            case Halvorn::AlertWindow::discard:     return "Discard";
            default:                                return {};
        }
    }
};

TEST_F (PresetDialogTest, SaveAndSaveAs)
{
    const auto existing = preset ("Warm.cvprst");
    ASSERT_TRUE (plugin->savePresetToFile (presets(), existing));
    const auto blocker = preset ("blocker.txt");
    ASSERT_TRUE (blocker.replaceWithText ("not a folder") && preset ("Old.CVPRST").replaceWithText ("<Preset/>"));
    const auto shared = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Shared.cvprst");
    shared.deleteFile();
    const TestFolder elsewhereFolder ("corvane-elsewhere");
    const auto& elsewhere = elsewhereFolder.getFile();
    ASSERT_TRUE (elsewhere.isDirectory());
    ASSERT_FALSE (elsewhere.isAChildOf (juce::File::getSpecialLocation (juce::File::userHomeDirectory)));

    const struct
    {
        const char* presetName;
        bool saveAs;
        juce::File answer;           // what the chooser answers; none: it must not open
        juce::File suggested;        // the chooser's initial file
        juce::String overwriteQuestion;
        juce::File saved;            // the current preset afterwards
        bool failed;
    } cases[] =
    {
        // "Save" of a new name goes to the chooser; the extension is added to a bare name.
        { "Bright", false, preset ("Bright"), preset ("Bright.cvprst"), {}, preset ("Bright.cvprst"), false },
        // An existing file is asked about, in the current preset's folder.
        { "Warm", false, {}, {}, "Do you want to overwrite preset 'Warm' ?", {}, false },
        // A bare name whose file exists: the chooser could not warn, so the editor asks.
        { "Any", true, preset ("Warm"), preset ("Any.cvprst"), "Do you want to overwrite preset 'Warm' ?", {}, false },
        // With the extension the chooser's own warning counted: saved directly.
        { "Any", true, preset ("Warm.cvprst"), preset ("Any.cvprst"), {}, preset ("Warm.cvprst"), false },
        // The extension typed in other letter case is spelt as the plug-in spells it.
        { "Fresh", true, preset ("Fresh Idea.CVPRST"), preset ("Fresh.cvprst"), {}, preset ("Fresh Idea.cvprst"), false },
        { "Fresh", true, preset ("Warm.Cvprst"), preset ("Fresh.cvprst"), "Do you want to overwrite preset 'Warm' ?", {}, false },
        // Unless a preset is spelt so: then it is that preset's file.
        { "Old", true, preset ("Old.CVPRST"), preset ("Old.cvprst"), {}, preset ("Old.CVPRST"), false },
        // A name with dots keeps all of it.
        { "Room", true, preset ("Room 1.5"), preset ("Room.cvprst"), {}, preset ("Room 1.5.cvprst"), false },
        // The user's own folders outside the presets folder take a preset too.
        { "Shared", true, shared, preset ("Shared.cvprst"), {}, shared, false },
        // And so does any other folder: a second disk, a stick.
        { "Far", true, elsewhere.getChildFile ("Far"), preset ("Far.cvprst"), {}, elsewhere.getChildFile ("Far.cvprst"), false },
        // Typed names never leave the preset folder nor make hidden files.
        { "../../outside/x", false, preset ("x"), preset ("....outsidex.cvprst").getSiblingFile ("outsidex.cvprst"), {}, preset ("x.cvprst"), false },
        { " .. ", false, preset ("y"), presetRoot(), {}, preset ("y.cvprst"), false },
        // A file that cannot be written is an alert, never a saved preset.
        { "Lost", true, blocker.getChildFile ("Lost.cvprst"), preset ("Lost.cvprst"), {}, {}, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.presetName);
        plugin->loadPresetFromCollection (presets(), existing.getFullPathName());
        setPresetName (c.presetName);
        chooser.requests.clear();
        chooser.answer = { c.answer };
        const auto before = plugin->getCurrentPresetName (presets());

        editor->handleControllerEvent (nullptr, c.saveAs ? BasePluginEditor::savePresetAsEvent : BasePluginEditor::savePresetEvent);

        if (c.answer != juce::File())
        {
            ASSERT_EQ (chooser.requests.size(), 1);
            EXPECT_EQ (chooser.requests[0].title, "Save current presets");
            EXPECT_EQ (chooser.requests[0].patterns, "*.cvprst");
            EXPECT_EQ (chooser.requests[0].flags, 134);
            EXPECT_EQ (chooser.requests[0].initialFile, c.suggested);
        }
        else
        {
            EXPECT_TRUE (chooser.requests.isEmpty());
        }

        if (c.overwriteQuestion.isNotEmpty())
        {
            auto* alert = editor->getOverwriteAlert();
            ASSERT_NE (alert, nullptr);
            EXPECT_TRUE (alert->isVisible());
            EXPECT_EQ (alert->getMessageLabel().getText(), c.overwriteQuestion);
            EXPECT_EQ (alert->getTitle(), "Presets");
            EXPECT_EQ (plugin->getCurrentPresetName (presets()), before);
            alert->setVisible (false);
        }

        if (c.saved != juce::File())
        {
            EXPECT_TRUE (c.saved.existsAsFile());
            EXPECT_EQ (plugin->getCurrentPresetName (presets()), c.saved.getFullPathName());
        }

        auto* failure = editor->getSaveFailedAlert();
        EXPECT_EQ (failure != nullptr && failure->isVisible(), c.failed);

        if (failure != nullptr)
            failure->setVisible (false);
    }

    EXPECT_FALSE (presetRoot().getChildFile (".cvprst").exists());
    EXPECT_FALSE (preset ("Fresh Idea.CVPRST").exists());
    EXPECT_FALSE (presetRoot().getParentDirectory().getChildFile ("outside").exists());
    shared.deleteFile();

    // The next "Save as" starts in the folder of the preset saved last, wherever that is.
    ASSERT_TRUE (plugin->savePresetToFile (presets(), elsewhere.getChildFile ("Far.cvprst")));
    chooser.requests.clear();
    chooser.answer.clear();
    editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent);
    ASSERT_EQ (chooser.requests.size(), 1);
    EXPECT_EQ (chooser.requests[0].initialFile, elsewhere.getChildFile ("Far.cvprst"));
}

TEST_F (PresetDialogTest, OverwriteQuestionAnswers)
{
    const auto file = preset ("Warm.cvprst"), twin = preset ("Warm.CVPRST");
    ASSERT_TRUE (plugin->savePresetToFile (presets(), twin) && plugin->savePresetToFile (presets(), file));

    // "Save" writes the current preset's own file, never its twin in other letter case.
    const struct { int answer; juce::File current; } cases[] = { { Halvorn::AlertWindow::cancel, file }, { Halvorn::AlertWindow::yes, file },
                                                                  { Halvorn::AlertWindow::yes, twin } };

    for (const auto& c : cases)
    {
        ASSERT_TRUE (file.replaceWithText ("old") && twin.replaceWithText ("old"));
        plugin->setCurrentPresetName (presets(), c.current.getFullPathName());
        editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetEvent);
        answer (editor->getOverwriteAlert(), c.answer);
        for (const auto& f : { file, twin })
            EXPECT_EQ (f.loadFileAsString() != "old", c.answer == Halvorn::AlertWindow::yes && f == c.current) << c.answer;
    }
}

TEST_F (PresetDialogTest, SteppingAwayFromAModifiedPresetAsksFirst)
{
    const auto a = preset ("A.cvprst"), b = preset ("B.cvprst"), lone = preset ("C.Cvprst");
    ASSERT_TRUE (plugin->savePresetToFile (presets(), a));
    ASSERT_TRUE (plugin->savePresetToFile (presets(), b) && plugin->savePresetToFile (presets(), lone));

    const struct { bool modified; int answer; juce::File current; int chooserRequests; juce::File loaded; } cases[] =
    {
        { false, -1, b, 0, a },                                 // no changes: no question
        { true, Halvorn::AlertWindow::discard, b, 0, a },       // the step is made
        { true, Halvorn::AlertWindow::saveAs, a, 1, a },        // the chooser opens, the preset stays
        { true, Halvorn::AlertWindow::overwrite, a, 0, a },     // saved over its file, the preset stays
        { true, Halvorn::AlertWindow::overwrite, lone, 0, lone }, // over its own file, in other letter case
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.answer);
        plugin->loadPresetFromCollection (presets(), c.loaded.getFullPathName());
        plugin->setPresetName (presets(), c.loaded.getFileNameWithoutExtension());
        plugin->setPresetModified (presets(), c.modified);
        chooser.requests.clear();
        chooser.answer.clear();

        editor->handleControllerEvent (nullptr, BasePluginEditor::nextPresetEvent);

        if (c.modified)
        {
            auto* alert = editor->getModifiedPresetAlert();
            ASSERT_NE (alert, nullptr);
            EXPECT_EQ (alert->getTitle(), "Corvane");
            EXPECT_EQ (alert->getMessageLabel().getText(), "Changes have been made to current preset. Do you want to save them or discard?");
            EXPECT_EQ (plugin->getCurrentPresetName (presets()), c.loaded.getFullPathName());
            answer (alert, c.answer);
        }

        EXPECT_EQ (plugin->getCurrentPresetName (presets()), c.current.getFullPathName());
        EXPECT_EQ (chooser.requests.size(), c.chooserRequests);
        EXPECT_EQ (plugin->isPresetModified (presets()), c.modified && c.answer == Halvorn::AlertWindow::saveAs);
    }
}

TEST_F (PresetDialogTest, ChosenPathsThatCannotHoldThePresetAreRefused)
{
    const auto root = presetRoot().getFullPathName().toStdString();
    const auto fifo = root + "/x.cvprst";
    const auto badFolder = root + "/Bad\xff\xfe" "Folder";
    ASSERT_EQ (::mkfifo (fifo.c_str(), 0600), 0);
    ASSERT_TRUE (std::filesystem::create_directory (badFolder));
    ASSERT_TRUE (preset ("Folder.cvprst").createDirectory());
    ASSERT_TRUE (preset ("Pad.cvprst").replaceWithText ("<Preset/>"));
    presets()->refresh();
    const auto outside = presetRoot().getParentDirectory();
    const auto countEntries = [&outside]
    {
        const std::filesystem::recursive_directory_iterator all (outside.getFullPathName().toStdString());
        return std::distance (begin (all), end (all));
    };
    const auto entriesBefore = countEntries();

    const auto raw = [] (const std::string& path) { return juce::File (juce::String::fromUTF8 (path.data(), (int) path.size())); };
    const auto shownBadFolder = presetRoot().getFullPathName() + juce::String (juce::CharPointer_UTF8 ("/Bad\xef\xbf\xbd\xef\xbf\xbd" "Folder"));
    const juce::String badFolderName ("saved: the name of the chosen folder '" + shownBadFolder + "' cannot be read"),
                       special ("a folder or a special file"), noFolder ("its folder does not exist");

    const struct { juce::File chosen; juce::String reason; } cases[] =
    {
        { preset ("x.cvprst"), special },                                        // a FIFO, the chooser's warning confirmed
        { preset ("x"), special },                                               // the same, the extension added
        { preset ("Folder.cvprst"), special },
        { raw (badFolder + "/Default"), badFolderName },                         // as JUCE's file browser holds it
        { raw (badFolder + "/\xff"), badFolderName },
        { raw (root + "/Bad\xc3.cvprst"), juce::CharPointer_UTF8 ("saved: the chosen name 'Bad\xef\xbf\xbd.cvprst' cannot be read") },
        { preset (juce::CharPointer_UTF8 ("Bad\xef\xbf\xbd\xef\xbf\xbd" "Folder/Default")), noFolder },   // the bytes replaced
        { preset ("pad"), "a file named 'Pad.cvprst' is already there, and names that differ only in letter case count as one" },
    };

    const FifoWatchdog watchdog (fifo);
    plugin->setPresetName (presets(), "Default");
    const auto current = plugin->getCurrentPresetName (presets());

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.chosen.getFullPathName().toStdString());
        chooser.answer = { c.chosen };
        editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent);

        auto* refusal = editor->getSaveFailedAlert();
        const auto shown = refusal != nullptr && refusal->isVisible() ? refusal->getMessageLabel().getText() : juce::String();
        EXPECT_TRUE (shown.contains (c.reason)) << shown;

        if (refusal != nullptr)
            refusal->setVisible (false);

        EXPECT_EQ (editor->getOverwriteAlert(), nullptr);
        EXPECT_EQ (plugin->getPresetName (presets()), "Default");
        EXPECT_EQ (plugin->getCurrentPresetName (presets()), current);
    }

    EXPECT_FALSE (watchdog.hasFreedAReader());
    EXPECT_TRUE (std::filesystem::is_fifo (fifo));
    EXPECT_TRUE (std::filesystem::is_empty (badFolder));
    EXPECT_EQ (countEntries(), entriesBefore);

    // "Save" of a name whose file is a FIFO asks nothing, and lets the user choose another file.
    chooser.requests.clear();
    chooser.answer.clear();
    plugin->setPresetName (presets(), "x");
    editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetEvent);
    EXPECT_EQ (chooser.requests.size(), 1);
    EXPECT_EQ (editor->getOverwriteAlert(), nullptr);
}

TEST_F (PresetDialogTest, AnswersThatTheChooserDidNotShowAreRefused)
{
    // A folder whose name is not UTF-8 entered and a file in it clicked: the file box stays
    // empty, and the chooser answers with its folder, or with that folder's path rewritten.
    const auto root = presetRoot().getFullPathName().toStdString();
    const auto badFolder = root + "/Bad\xff\xfe" "Home";
    ASSERT_TRUE (std::filesystem::create_directory (badFolder));
    const auto raw = [] (const std::string& path) { return juce::File (juce::String::fromUTF8 (path.data(), (int) path.size())); };
    chooser.shownFolder = raw (badFolder);
    chooser.clicked = { raw (badFolder + "/Old.cvprst") };

    auto& midi = *editor->getMidiControlPage();
    auto& host = *editor->getHostParametersPage();
    const struct { const char* what; std::function<void()> act; std::function<Halvorn::AlertWindow*()> alert; juce::String message; } actions[] =
    {
        { "preset Save as", [this] { editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent); },
          [this] { return editor->getSaveFailedAlert(); }, "The preset could not be saved: " },
        { "MIDI map save", [&] { midi.getSaveButton().triggerClick(); }, [&] { return midi.getErrorAlert(); }, "The map could not be saved: " },
        { "MIDI map load", [&] { midi.getLoadButton().triggerClick(); }, [&] { return midi.getErrorAlert(); }, "The map could not be loaded: " },
        { "MIDI default map", [&] { midi.getDefaultMapBox().getPathComponent().browse(); }, [&] { return midi.getErrorAlert(); }, "The map could not be chosen: " },
        { "host map save", [&] { host.getSaveButton().triggerClick(); }, [&] { return host.getErrorAlert(); }, "The map could not be saved: " },
        { "host map load", [&] { host.getLoadButton().triggerClick(); }, [&] { return host.getErrorAlert(); }, "The map could not be loaded: " },
        { "host default map", [&] { host.getDefaultMapBox().getPathComponent().browse(); }, [&] { return host.getErrorAlert(); }, "The map could not be chosen: " },
    };
    const auto midiMapPath = plugin->midiControl.getMapPath(), hostMapPath = plugin->hostMapPath;
    plugin->setPresetName (presets(), "Default");

    // The last answer lies in a folder the chooser did not show: the test's own, so that a save
    // that went wrong would leave its file where the test removes it.
    const auto notShown = userDataRoot().getChildFile ("Home");

    for (const auto& answer : { raw (badFolder), raw (root + "/Bad\x0f\x0e" "Home"), notShown })
    {
        for (const auto& a : actions)
        {
            SCOPED_TRACE (a.what + (" " + answer.getFullPathName().toStdString()));
            chooser.answer = { answer };
            a.act();
            pump();

            auto* refusal = a.alert();
            ASSERT_NE (refusal, nullptr);
            EXPECT_TRUE (refusal->isVisible());
            EXPECT_EQ (refusal->getMessageLabel().getText(), a.message + FileDialogs::refusalReason);
            refusal->setVisible (false);
        }
    }

    EXPECT_EQ (presetRoot().getNumberOfChildFiles (juce::File::findFiles), 0);
    EXPECT_TRUE (std::filesystem::is_empty (badFolder));
    for (const auto* extension : { ".cvprst", ".cvccmap", ".cvhpmap" })
        EXPECT_FALSE (notShown.withFileExtension (extension).exists()) << extension;
    EXPECT_EQ (plugin->getPresetName (presets()), "Default");
    EXPECT_EQ (plugin->midiControl.getMapPath(), midiMapPath);
    EXPECT_EQ (plugin->hostMapPath, hostMapPath);
}

TEST_F (PresetDialogTest, SavesOverALinkGoThroughIt)
{
    const auto elsewhere = presetRoot().getSiblingFile ("Elsewhere");
    ASSERT_TRUE (elsewhere.createDirectory());

    // target: where the link in the presets folder leads, inside elsewhere; old: it exists before
    const struct { bool saveAs; const char* link; const char* target; bool old, refused; } cases[] =
    {
        { false, "Linked.cvprst", "Real.cvprst", true, false },
        { true, "Dangling.cvprst", "New.cvprst", false, false },         // the chooser sees no file there
        { false, "Lost.cvprst", "gone/Lost.cvprst", false, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.link);
        const auto link = preset (c.link), target = elsewhere.getChildFile (c.target);
        ASSERT_TRUE (target.createSymbolicLink (link, false));

        if (c.old)
        {
            ASSERT_TRUE (target.replaceWithText ("old"));
        }

        setPresetName (link.getFileNameWithoutExtension());
        chooser.answer = { link };
        editor->handleControllerEvent (nullptr, c.saveAs ? BasePluginEditor::savePresetAsEvent : BasePluginEditor::savePresetEvent);
        answer (editor->getOverwriteAlert(), Halvorn::AlertWindow::yes);

        auto* refusal = editor->getSaveFailedAlert();
        EXPECT_EQ (refusal != nullptr && refusal->isVisible(), c.refused);
        EXPECT_EQ (link.getLinkedTarget(), target);
        EXPECT_EQ (target.loadFileAsString().startsWith ("<?xml"), ! c.refused);

        if (refusal != nullptr)
            refusal->setVisible (false);
    }

    EXPECT_FALSE (elsewhere.getChildFile ("gone").exists());
}
