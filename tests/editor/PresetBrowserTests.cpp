#include "EditorTestSupport.h"
#include "PresetBrowserWindow.h"
#include "PresetDirectoryColumn.h"
#include "PresetInfoColumn.h"
#include "ApplicationDataFolders.h"
#include "FolderChild.h"
#include "Preset.h"
#include "TestFolder.h"
#include "XmlHelpers.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>

#include <sys/resource.h>

namespace
{
    /**
        A browser window over a small preset tree in the test's own user data folder:
            Bass/Deep, Bass/Sub/Low, Keys, Lead/Deep, Lead/Keys, Pad, Pluck
    */
    class PresetBrowserTest  : public EditorTest
    {
    protected:
        void SetUp() override
        {
            EditorTest::SetUp();

            if (IsSkipped())
                return;

            for (auto* name : { "Bass/Deep", "Bass/Sub/Low", "Keys", "Lead/Deep", "Lead/Keys", "Pad", "Pluck" })
            {
                ASSERT_TRUE (preset (name).getParentDirectory().createDirectory());
                ASSERT_TRUE (plugin->savePresetToFile (presets(), preset (name)));
            }

            presets()->refresh();
            window = std::make_unique<PresetBrowserWindow> (*plugin, *presets());
            window->setTitle (presets()->getName());
            window->setSize (1200, 540);
            window->refreshBrowser();
            pump();
        }

        void TearDown() override
        {
            window.reset();
            EditorTest::TearDown();
        }

        juce::File preset (const juce::String& name) const
        {
            return presetRoot().getChildFile (name + presets()->getExtension());
        }

        juce::String path (const juce::String& name) const       { return presetRoot().getChildFile (name).getFullPathName(); }
        PresetBrowser& browser() const                              { return window->getBrowser(); }

        PresetBrowser::PresetDirectoryColumn& column (int index) const
        {
            auto* c = dynamic_cast<PresetBrowser::PresetDirectoryColumn*> (browser().getColumn (index));
            EXPECT_NE (c, nullptr);
            return *c;
        }

        /** Opens a path and lets the asynchronous update build the columns. */
        void open (const juce::String& fullPath)
        {
            browser().setPendingPath (fullPath, true);
            pump();
        }

        /** Selects rows of a column by their item names as a user does: clicks the first, ctrl-clicks
            the others; "shift Name" shift-clicks, "shift down" types shift+Down. */
        void select (PresetBrowser::PresetDirectoryColumn& c, juce::StringArray names)
        {
            auto& list = c.getList();

            for (auto& name : names)
            {
                const auto keys = name == names[0] ? 0 : name.startsWith ("shift ") ? juce::ModifierKeys::shiftModifier : juce::ModifierKeys::ctrlModifier;

                if (name == "shift down")
                    list.keyPressed (juce::KeyPress (juce::KeyPress::downKey, keys, 0));
                else if (auto* item = list.getComponentForRowNumber (rowNamed (c, name.replace ("shift ", "")))) // its list row takes the clicks
                    item->getParentComponent()->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, juce::ModifierKeys (keys | juce::ModifierKeys::leftButtonModifier),
                                                                             1.0f, 0.0f, 0.0f, 0.0f, 0.0f, item, item, {}, {}, {}, 1, false));
            }

            pump();
            window->updateButtons();
        }

        /** The row of a column with that item name, or -1 (the column itself as a drop target). */
        static int rowNamed (PresetBrowser::PresetDirectoryColumn& c, const juce::String& name)
        {
            for (int row = 0; row < c.getNumItems(); ++row)
                if (c.getItemText (row) == name)
                    return row;

            return -1;
        }

        /** Drags the named rows of one column and drops them onto a row (or into the column, -1). */
        void drop (PresetBrowser::PresetDirectoryColumn& source, juce::StringArray names,
                   PresetBrowser::PresetDirectoryColumn& target, int row)
        {
            select (source, names);
            const auto description = source.getList().getDragSourceDescription (source.getList().getSelectedRows());
            const auto where = row < 0 ? juce::Point<int> (20, target.getHeight() - 10)
                                       : target.getLocalPoint (&target.getList(), target.getList().getRowPosition (row, true).getCentre());
            juce::DragAndDropTarget::SourceDetails details (description, &source.getList(), where);
            ASSERT_TRUE (target.isInterestedInDragSource (details));
            target.itemDragMove (details);
            target.itemDropped (details);
        }

        /** The alert on show, or null. */
        Halvorn::AlertWindow* shownAlert() const
        {
            for (auto* child : browser().getChildren())
                if (auto* alert = dynamic_cast<Halvorn::AlertWindow*> (child); alert != nullptr && alert->isVisible())
                    return alert;

            return nullptr;
        }

        /** Presses the shown alert's button with that text; true when there was one. */
        bool answer (const juce::String& buttonText)
        {
            if (auto* alert = shownAlert())
                for (int i = 0; i < alert->getNumButtons(); ++i)
                    if (alert->getButton (i)->getButtonText() == buttonText)
                    {
                        alert->buttonClicked (alert->getButton (i));
                        pump();
                        return true;
                    }

            return false;
        }

        juce::String lastColumnPath() const
        {
            auto* last = browser().getColumn (browser().getNumColumns() - 1);

            if (auto* info = dynamic_cast<PresetBrowser::PresetInfoColumn*> (last))
                return info->getPath();

            return dynamic_cast<PresetBrowser::PresetDirectoryColumn*> (last)->getPath();
        }

        static std::string bytesOf (const juce::File& file)
        {
            juce::MemoryBlock data;
            file.loadFileAsData (data);
            return std::string (static_cast<const char*> (data.getData()), data.getSize());
        }

        std::unique_ptr<PresetBrowserWindow> window;
    };
}

TEST_F (PresetBrowserTest, OpensPathsDownToTheirNearestExistingItem)
{
    const auto ext = presets()->getExtension();

    struct Case { juce::String path; int columns; juce::String shown; juce::String title; };
    const Case cases[] = {
        { path ("Bass/Sub/Low" + ext), 4, path ("Bass/Sub/Low" + ext), "Presets - Low" },
        { path ("Bass/Gone/Missing" + ext), 2, path ("Bass"), "Presets" },
        { path ("Lead"), 2, path ("Lead"), "Presets" },
        { {}, 1, presetRoot().getFullPathName(), "Presets" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.path);
        open (c.path);
        EXPECT_EQ (browser().getNumColumns(), c.columns);
        EXPECT_EQ (lastColumnPath(), c.shown);
        EXPECT_EQ (window->getTitle(), c.title);
    }

    open (path ("Bass/Sub/Low" + ext));

    // Outside the tree nothing changes.
    open (path ("Bass"));
    open (presetRoot().getParentDirectory().getFullPathName());
    EXPECT_EQ (lastColumnPath(), path ("Bass"));

    // Folders come before presets whatever their names.
    EXPECT_EQ (column (0).getItemText (0), "Bass");
    EXPECT_TRUE (column (0).isItemFolder (1));
    EXPECT_FALSE (column (0).isItemFolder (2));
}

TEST_F (PresetBrowserTest, ToolButtonsFollowTheSelection)
{
    open (path ("Bass"));

    struct Case { juce::StringArray selected; bool copy, remove; };
    const Case cases[] = {
        { {}, false, false },
        { { "Sub" }, false, true },
        { { "Deep" }, true, true },
        { { "Sub", "Deep" }, false, true },
        { { "Sub", "shift Deep" }, false, true },
        { { "Sub", "shift down" }, false, true },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.selected.joinIntoString (","));
        column (0).getList().deselectAllRows();
        select (column (1), c.selected);
        EXPECT_EQ (window->getCopyButton().isEnabled(), c.copy);
        EXPECT_EQ (window->getDeleteButton().isEnabled(), c.remove);
        EXPECT_TRUE (window->getNewFolderButton().isEnabled());
    }
}

TEST_F (PresetBrowserTest, StarClicksRewriteOnlyTheRatingAttribute)
{
    const auto file = preset ("Pad");

    const auto deep = juce::String ("<Preset>") + juce::String::repeatedString ("<a>", 20000);

    // shown: the stars after the click, which go back to the file's rating when it is left alone
    struct Case { std::string content; int star; std::string expected; int shown; };
    const Case cases[] = {
        // a hand-written file keeps its spacing and its other attributes' order
        { "<?xml version=\"1.0\"?>\n<Preset  Rating='2' name=\"x\">\n  <param index=\"1\" value=\"7\"/>\n</Preset>\n", 4,
          "<?xml version=\"1.0\"?>\n<Preset  Rating='4' name=\"x\">\n  <param index=\"1\" value=\"7\"/>\n</Preset>\n", 4 },
        { "<Preset name=\"a\"\n  author=\"b\">\n<param/></Preset>", 5, "<Preset name=\"a\"\n  author=\"b\" rating=\"5\">\n<param/></Preset>", 5 },
        { "<Preset/>", 1, "<Preset rating=\"1\"/>", 1 },
        { "\xEF\xBB\xBF<Preset rating=\"&#50;\" >\xC3\xA9</Preset>", 4, "\xEF\xBB\xBF<Preset rating=\"4\" >\xC3\xA9</Preset>", 4 },
        // markup inside values, comments and declarations is no tag
        { "<Preset name=\"a>b\"/>", 4, "<Preset name=\"a>b\" rating=\"4\"/>", 4 },
        { "<!-- a > <b -->\n<Preset name='x'/>", 4, "<!-- a > <b -->\n<Preset name='x' rating=\"4\"/>", 4 },
        { "<!DOCTYPE Preset [<!ENTITY a \"1>2<b\">]><Preset/>", 2, "<!DOCTYPE Preset [<!ENTITY a \"1>2<b\">]><Preset rating=\"2\"/>", 2 },
        { "<Preset name=\"x rating='5'\" rating='2'/>", 4, "<Preset name=\"x rating='5'\" rating='4'/>", 4 },
        // not a preset, or not certain to be rewritten as it is read: left alone
        { "<Preset", 2, "<Preset", 3 },
        { "<Other rating=\"1\"/>", 2, "<Other rating=\"1\"/>", 3 },
        { "<Preset><?" "?>x</Preset>", 4, "<Preset><?" "?>x</Preset>", 3 },
        { "<Preset rating=\"2\"/>\xFF", 4, "<Preset rating=\"2\"/>\xFF", 3 },
        { "<Preset rating=\"2\" x=1/>", 4, "<Preset rating=\"2\" x=1/>", 2 },
        { "<Preset rating=\"2\" name=\"\xC0\xBE\"/>", 4, "<Preset rating=\"2\" name=\"\xC0\xBE\"/>", 2 },
        { deep.toStdString(), 4, deep.toStdString(), 3 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.content.substr (0, 80));
        ASSERT_TRUE (file.replaceWithData (c.content.data(), c.content.size()));
        presets()->refresh();
        open (file.getFullPathName());

        auto* info = dynamic_cast<PresetBrowser::PresetInfoColumn*> (browser().getColumn (1));
        ASSERT_NE (info, nullptr);
        EXPECT_EQ (bytesOf (file), c.content) << "showing the rating must not write it";

        auto& stars = info->getRatingComponent();
        stars.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                           { (float) (c.star * stars.getWidth() / 5 - 2), 8.0f }, {}, {}, {}, {}, {}, {},
                                           &stars, &stars, juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false));
        EXPECT_EQ (bytesOf (file), c.expected);
        EXPECT_EQ (stars.getRating(), c.shown);
    }
}

TEST_F (PresetBrowserTest, NamesThatAreNotValidUtf8AreNamedButNeverOpened)
{
    // Made with the file system's own calls: JUCE's path functions cannot take these names.
    const auto root = presetRoot().getFullPathName().toStdString();
    const char* folders[] = { "Caf\xE9", "Bass/Ends\xE2\x82" };
    const char* files[] = { "Caf\xE9/Inside.cvprst", "Lead/Cut\xC3.cvprst", "Lead/\xC0\xAE\xC0\xAE.cvprst" };

    for (auto* name : folders)
        ASSERT_TRUE (std::filesystem::create_directory (root + "/" + name)) << name;

    for (auto* name : files)
        ASSERT_TRUE (std::ofstream (root + "/" + name).good()) << name;

    presets()->refresh();
    pump();

    auto& note = window->getSkippedNote();
    EXPECT_TRUE (note.isVisible());
    EXPECT_EQ (note.getText(), juce::String::fromUTF8 ("Not shown, as their names are not valid UTF-8: Presets\\Caf\xEF\xBF\xBD, "
                                                       "Presets\\Bass\\Ends\xEF\xBF\xBD\xEF\xBF\xBD, "
                                                       "Presets\\Lead\\Cut\xEF\xBF\xBD.cvprst, "
                                                       "Presets\\Lead\\\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.cvprst"));

    // Every preset left in the tree opens, down to its info column.
    EXPECT_EQ (presets()->getNumPresets(), 7);

    for (auto& presetPath : presets()->getPresetPaths())
    {
        SCOPED_TRACE (presetPath);
        open (presetPath);
        EXPECT_EQ (lastColumnPath(), presetPath);
    }

    for (auto* name : { "Caf\xE9", "Bass/Ends\xE2\x82", "Lead/Cut\xC3.cvprst", "Lead/\xC0\xAE\xC0\xAE.cvprst" })
        std::filesystem::remove_all (root + "/" + name);

    presets()->refresh();
    pump();
    EXPECT_FALSE (note.isVisible());
}

TEST_F (PresetBrowserTest, MovesAskFirstAndRefuseWhatCannotWork)
{
    struct Case
    {
        juce::StringArray names;        // dragged from the root column
        juce::String target;            // a folder row of the root column, or "" for the column itself
        juce::StringArray answers;      // alert buttons pressed in turn; none: no question at all
        juce::StringArray existAfter, goneAfter;
    };

    ASSERT_TRUE (plugin->savePresetToFile (presets(), preset ("Zed"))); // a row after the dragged ones, left behind
    presets()->refresh();

    const auto ext = presets()->getExtension();
    const Case cases[] = {
        { { "Pad" }, "", {}, { "Pad" + ext }, {} },
        { { "Pad", "Pluck" }, "Bass", { "Cancel" }, { "Pad" + ext, "Pluck" + ext }, {} },
        { { "Pad" }, "Bass", { "Yes" }, { "Bass/Pad" + ext }, { "Pad" + ext } },
        { { "Keys", "Pluck" }, "Lead", { "Yes", "Cancel" }, { "Keys" + ext, "Pluck" + ext }, { "Lead/Pluck" + ext } },
        { { "Keys", "Pluck" }, "Lead", { "Yes", "Replace" }, { "Lead/Keys" + ext, "Lead/Pluck" + ext }, { "Keys" + ext, "Pluck" + ext } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.names.joinIntoString (",") + " -> " + c.target);
        open (presetRoot().getFullPathName());
        auto& root = column (0);
        drop (root, c.names, root, rowNamed (root, c.target));

        if (c.answers.isEmpty())
        {
            EXPECT_EQ (shownAlert(), nullptr);
        }

        for (auto& a : c.answers)
            EXPECT_TRUE (answer (a)) << a;

        EXPECT_EQ (shownAlert(), nullptr);

        for (auto& name : c.existAfter)
            EXPECT_TRUE (presetRoot().getChildFile (name).exists()) << name;

        for (auto& name : c.goneAfter)
            EXPECT_FALSE (presetRoot().getChildFile (name).exists()) << name;
    }

    // The last preset clicked moved as the current one; the row left selected was not opened.
    EXPECT_EQ (plugin->getCurrentPresetName (presets()), preset ("Lead/Pluck").getFullPathName());

    // A folder into its own sub-folder, and into a folder that has one of its name.
    presetRoot().getChildFile ("Lead/Sub").createDirectory();
    presets()->refresh();
    open (path ("Bass"));

    struct Refusal { int sourceColumn; juce::String item, target, message; };
    const Refusal refusals[] = {
        { 0, "Bass", path ("Bass/Sub"), "You can not move directory to itself or to its subdirectory." },
        { 1, "Sub", path ("Lead"), "Destination directory already contains subdirectory with the same name" },
    };

    for (auto& r : refusals)
    {
        SCOPED_TRACE (r.message);
        auto& source = column (r.sourceColumn);
        select (source, { r.item });
        source.getList().getDragSourceDescription (source.getList().getSelectedRows());
        browser().moveItemsTo (source, r.target);
        ASSERT_NE (shownAlert(), nullptr);
        EXPECT_EQ (shownAlert()->getMessageLabel().getText(), "Do you really want to move selected items?");
        answer ("Yes");
        ASSERT_NE (shownAlert(), nullptr);
        EXPECT_EQ (shownAlert()->getMessageLabel().getText(), r.message);
        answer ("OK");
        EXPECT_TRUE (presetRoot().getChildFile ("Bass/Sub/Low" + ext).existsAsFile());
    }
}

TEST_F (PresetBrowserTest, ALinkThatLeadsNowhereAtAMovesTargetIsAskedAbout)
{
    const auto link = presetRoot().getChildFile ("Lead/Pad" + presets()->getExtension());
    std::filesystem::create_symlink ("Nowhere.cvprst", link.getFullPathName().toStdString());
    presets()->refresh();
    open (presetRoot().getFullPathName());

    for (auto* replaceAnswer : { "Cancel", "Replace" })
    {
        SCOPED_TRACE (replaceAnswer);
        drop (column (0), { "Pad" }, column (0), 1);
        ASSERT_EQ (column (0).getItemText (1), "Lead");
        EXPECT_TRUE (answer ("Yes"));
        EXPECT_TRUE (answer (replaceAnswer));
    }

    EXPECT_FALSE (preset ("Pad").exists());
    EXPECT_TRUE (link.existsAsFile() && ! link.isSymbolicLink());
}

TEST_F (PresetBrowserTest, TheReplaceQuestionShowsBothLines)
{
    open (presetRoot().getFullPathName());
    auto& root = column (0);
    int bass = 0;
    ASSERT_EQ (root.getItemText (bass), "Bass");
    ASSERT_TRUE (plugin->savePresetToFile (presets(), preset ("Bass/Pad")));
    presets()->refresh();
    pump();

    drop (column (0), { "Pad" }, column (0), bass);
    answer ("Yes");

    auto* alert = shownAlert();
    ASSERT_NE (alert, nullptr);
    auto& label = alert->getMessageLabel();
    const auto font = label.getFont();
    EXPECT_GE (label.getHeight(), (int) (2 * font.getHeight()));
    EXPECT_GE (label.getWidth(), (int) font.getStringWidthFloat ("Destination directory already contains some of moved presets."));

}

TEST_F (PresetBrowserTest, FileOperationsReopenWhereTheUserLooksNext)
{
    const auto ext = presets()->getExtension();
    // New folder, numbered on the second time.
    open (path ("Lead"));
    window->buttonClicked (&window->getNewFolderButton());
    window->buttonClicked (&window->getNewFolderButton());
    pump();
    EXPECT_TRUE (presetRoot().getChildFile ("Lead/New folder").isDirectory());
    EXPECT_EQ (lastColumnPath(), path ("Lead"));
    EXPECT_EQ (column (1).getNumItems(), 4);

    // Copy of one preset.
    select (column (1), { "Deep" });
    window->buttonClicked (&window->getCopyButton());
    pump();
    EXPECT_EQ (presetRoot().getChildFile ("Lead").getNumberOfChildFiles (juce::File::findFiles), 3);

    // Delete of a folder with content shows its parent.
    open (path ("Bass"));
    select (column (0), { "Bass" });
    window->buttonClicked (&window->getDeleteButton());
    EXPECT_TRUE (answer ("Yes"));
    EXPECT_FALSE (presetRoot().getChildFile ("Bass").exists());
    EXPECT_EQ (lastColumnPath(), presetRoot().getFullPathName());

    // Rename of the folder of the current preset (Deep, loaded by its click) shows that preset.
    open (path ("Lead"));
    ASSERT_EQ (column (0).getItemText (0), "Lead");
    column (0).renameItem (0, "Solo");
    pump();
    EXPECT_TRUE (presetRoot().getChildFile ("Solo/Deep" + ext).existsAsFile());
    EXPECT_EQ (lastColumnPath(), path ("Solo/Deep" + ext));
}

TEST_F (PresetBrowserTest, AFailedDeleteSaysWhatWasNotDeletedAndWhy)
{
    // A file where the trash's folder should be.
    const auto home = presetRoot().getParentDirectory().getChildFile ("unusable home");
    ASSERT_TRUE (home.createDirectory() && home.getChildFile (".local").replaceWithText ("not a folder"));
    const juce::String previousHome (std::getenv ("HOME"));
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    open (presetRoot().getFullPathName());
    select (column (0), { "Pad" });
    window->buttonClicked (&window->getDeleteButton());
    EXPECT_TRUE (answer ("Yes"));
    setenv ("HOME", previousHome.toRawUTF8(), 1);

    EXPECT_TRUE (preset ("Pad").existsAsFile());
    ASSERT_NE (shownAlert(), nullptr);
    EXPECT_EQ (shownAlert()->getMessageLabel().getText(),
               "These items were not deleted:\nPresets\\Pad.cvprst: the trash folder " + home.getFullPathName()
                 + "/.local/share/Trash/files cannot be made: File exists");
    EXPECT_TRUE (answer ("OK"));
    EXPECT_EQ (shownAlert(), nullptr);
}

TEST_F (PresetBrowserTest, AFailedCopySaysWhatWasNotCopiedAndWhy)
{
    const auto ext = presets()->getExtension();
    const auto copy = presetRoot().getChildFile ("Pad(2)" + ext).getFullPathName().toStdString();
    const auto original = preset ("Pad").getFullPathName().toStdString();

    // A file-size limit, with its signal ignored, cuts a write short as a full disk does.
    rlimit unlimited {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &unlimited), 0);
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    const rlimit limited { 100, unlimited.rlim_max };

    struct Case { std::function<void()> prepare; juce::String reason; };
    const Case cases[] =
    {
        { [&] { setrlimit (RLIMIT_FSIZE, &limited); }, "File too large" },
        { [&] { std::filesystem::create_symlink ("nowhere" + ext.toStdString(), copy); }, "a link in the way leads nowhere" },
        { [&] { std::filesystem::resize_file (original, XmlHelpers::maximumDocumentSize + 1); }, "it holds more than 16.0 MB" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.reason);
        c.prepare();
        open (presetRoot().getFullPathName());
        select (column (0), { "Pad" });
        window->buttonClicked (&window->getCopyButton());
        setrlimit (RLIMIT_FSIZE, &unlimited);
        pump();

        ASSERT_NE (shownAlert(), nullptr);
        EXPECT_EQ (shownAlert()->getMessageLabel().getText(), "These items were not copied:\nPresets\\Pad" + ext + ": " + c.reason);
        EXPECT_TRUE (answer ("OK"));
        EXPECT_FALSE (presetRoot().getChildFile ("Pad(2)" + ext).existsAsFile());
    }

    std::signal (SIGXFSZ, previousHandler);
}

TEST_F (PresetBrowserTest, NamesInOtherLetterCaseAndSkippedMovesAreTold)
{
    const auto ext = presets()->getExtension();
    const juce::String oneName (", and names that differ only in letter case count as one");
    // Élan and élan, which the C locale does not fold into one.
    const juce::String accented (juce::CharPointer_UTF8 ("\xc3\x89lan")), accentedLower (juce::CharPointer_UTF8 ("\xc3\xa9lan"));

    // In the root column (Bass, Lead, then Keys, Pad, Pluck): a row renamed, or rows dropped
    // onto a folder row, with the alert buttons pressed in turn; then the alert left on show.
    struct Case { const char* what; std::function<void()> prepare; juce::StringArray dragged; juce::String onto, newName;
                  juce::StringArray answers; juce::String shown, existsAfter; };
    const Case cases[] =
    {
        { "a folder renamed beside one of its name in other case", [] {}, {}, "Lead", "bass", {},
          "These items were not renamed:\nPresets\\Lead: a folder named 'Bass' is already there" + oneName, "Lead/Keys" + ext },
        { "a preset onto one of its name in other case", [&] { plugin->savePresetToFile (presets(), preset ("Lead/pluck")); },
          { "Pluck" }, "Lead", {}, { "Yes", "Replace" }, {}, "Lead/Pluck" + ext },
        { "a preset onto one of its accented name in other case, in the host's C locale",
          [&] { plugin->savePresetToFile (presets(), preset ("Lead/" + accentedLower)); plugin->savePresetToFile (presets(), preset (accented)); },
          { accented }, "Lead", {}, { "Yes", "Replace" }, {}, "Lead/" + accented + ext },
        { "a folder into one holding its name in other case", [&] { presetRoot().getChildFile ("Bass/lead").createDirectory(); },
          { "Lead" }, "Bass", {}, { "Yes" }, "Destination directory already contains subdirectory with the same name", "Lead/Keys" + ext },
        { "a preset into a folder holding a folder of its file name", [&] { presetRoot().getChildFile ("Lead/Pad" + ext).createDirectory(); },
          { "Pad" }, "Lead", {}, { "Yes" }, "These items were not moved:\nPresets\\Pad" + ext + ": a folder named 'Pad" + ext + "' is already there",
          "Pad" + ext },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        c.prepare();
        presets()->refresh();
        open (presetRoot().getFullPathName());
        auto& root = column (0);
        const auto row = rowNamed (root, c.onto);
        ASSERT_GE (row, 0);

        if (c.dragged.isEmpty())
            root.renameItem (row, c.newName);
        else
            drop (root, c.dragged, root, row);

        pump();

        for (auto& a : c.answers)
            EXPECT_TRUE (answer (a)) << a;

        EXPECT_EQ (shownAlert() != nullptr ? shownAlert()->getMessageLabel().getText() : juce::String(), c.shown);
        answer ("OK");
        EXPECT_TRUE (presetRoot().getChildFile (c.existsAfter).exists()) << c.existsAfter;

        int onDisk = 0;

        for (std::filesystem::recursive_directory_iterator it (presetRoot().getFullPathName().toStdString()), end; it != end; ++it)
            onDisk += it->path().extension() == ext.toStdString() && it->is_regular_file() ? 1 : 0;

        EXPECT_EQ (presets()->getNumPresets(), onDisk);
    }
}

TEST_F (PresetBrowserTest, ARatingThatCannotBeWrittenIsTold)
{
    const auto file = preset ("Pad");
    const auto before = bytesOf (file);
    open (file.getFullPathName());
    auto* info = dynamic_cast<PresetBrowser::PresetInfoColumn*> (browser().getColumn (1));
    ASSERT_NE (info, nullptr);

    // A file-size limit, with its signal ignored, cuts the write short as a full disk does.
    rlimit unlimited {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &unlimited), 0);
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    const rlimit limited { 100, unlimited.rlim_max };
    setrlimit (RLIMIT_FSIZE, &limited);
    auto& stars = info->getRatingComponent();
    stars.setRating (5);
    setrlimit (RLIMIT_FSIZE, &unlimited);
    std::signal (SIGXFSZ, previousHandler);
    pump();

    EXPECT_EQ (bytesOf (file), before);
    EXPECT_EQ (stars.getRating(), 3);
    ASSERT_NE (shownAlert(), nullptr);
    EXPECT_EQ (shownAlert()->getMessageLabel().getText(), "The rating was not written:\nPresets\\Pad" + presets()->getExtension() + ": File too large");
}

TEST_F (PresetBrowserTest, RenamingOrMovingTheCurrentPresetKeepsItsEdits)
{
    const auto ext = presets()->getExtension();

    struct Case { juce::String action; juce::String newCurrent; juce::String newName; };
    const Case cases[] = {
        { "rename preset", "Bass/Sub/Bottom", "Bottom" },
        { "rename folder", "Bass/Below/Bottom", "Bottom" },
        { "move folder", "Lead/Below/Bottom", "Bottom" },
    };

    plugin->loadPresetFromCollection (presets(), preset ("Bass/Sub/Low").getFullPathName());
    // "Feedback" of line 1.
    auto* parameter = plugin->parameterManager.getParameter (1039);
    ASSERT_NE (parameter, nullptr);

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.action);
        open (plugin->getCurrentPresetName (presets()));
        parameter->setValue (parameter->getValue() > 0.5f ? 0.1f : 0.9f, true);
        plugin->setPresetModified (presets(), true);
        const auto edited = parameter->getValue();

        if (c.action == "rename preset")
            column (2).renameItem (0, "Bottom");
        else if (c.action == "rename folder")
            column (1).renameItem (0, "Below");
        else
        {
            auto& bass = column (1);
            select (bass, { "Below" });
            bass.getList().getDragSourceDescription (bass.getList().getSelectedRows());
            browser().moveItemsTo (bass, path ("Lead"));
            answer ("Yes");
        }

        pump();
        EXPECT_EQ (plugin->getCurrentPresetName (presets()), preset (c.newCurrent).getFullPathName());
        EXPECT_EQ (plugin->getPresetName (presets()), c.newName);
        EXPECT_FLOAT_EQ (parameter->getValue(), edited);
        EXPECT_TRUE (plugin->isPresetModified (presets()));
    }

    // The browser followed the moved folder's preset or the destination.
    EXPECT_EQ (lastColumnPath(), path ("Lead"));
}

TEST_F (PresetBrowserTest, FollowsThePluginAndLeavesItsListenersWhenDestroyed)
{
    plugin->loadPresetFromCollection (presets(), preset ("Keys").getFullPathName());
    pump();
    EXPECT_EQ (lastColumnPath(), preset ("Keys").getFullPathName());

    plugin->selectNextPreset (presets());
    pump();
    EXPECT_EQ (lastColumnPath(), plugin->getCurrentPresetName (presets()));

    // "Restore default" loads the default and keeps the window and its folder.
    open (path ("Lead"));
    window->buttonClicked (&window->getRestoreButton());
    pump();
    EXPECT_TRUE (plugin->isPresetLoaded (presets()));
    EXPECT_EQ (lastColumnPath(), path ("Lead"));

    window.reset();
    plugin->selectNextPreset (presets());
    presets()->refresh();
    pump();
}

TEST_F (PresetBrowserTest, NamesThatBeginWithATildeStayInTheirFolder)
{
    // JUCE reads "~" and "~/x" as the home folder and "~x" below the working folder: both are watched.
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    // What an earlier run that failed here deleted would take the names this one expects.
    home.getChildFile (".local/share/Trash").deleteRecursively();
    const TestFolder testFolder ("corvane-working-folder");
    const auto work = testFolder.getFile().getChildFile ("work");
    const auto maps = testFolder.getFile().getChildFile ("maps");
    ASSERT_TRUE (work.createDirectory() && maps.createDirectory());
    const auto previous = juce::File::getCurrentWorkingDirectory();
    const juce::ScopeGuard restoreWorkingFolder { [previous] { previous.setAsCurrentWorkingDirectory(); } };
    ASSERT_TRUE (work.setAsCurrentWorkingDirectory());
    const auto homeBefore = home.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles);
    const auto inRoot = [this] (const juce::String& name) { return FolderChild::of (presetRoot(), name); };
    const auto ext = presets()->getExtension();
    const auto clickButton = [] (Halvorn::AlertWindow* alert, const juce::String& text)
    {
        ASSERT_TRUE (alert != nullptr && alert->isVisible());

        for (int i = 0; i < alert->getNumButtons(); ++i)
            if (alert->getButton (i)->getButtonText() == text)
                return alert->buttonClicked (alert->getButton (i));
    };
    const auto rowOf = [] (PresetBrowser::PresetDirectoryColumn& c, const juce::String& name)
    {
        for (int row = 0; row < c.getNumItems(); ++row)
            if (c.getItemText (row) == name)
                return row;

        return -1;
    };

    // Save as, with the name in the chooser's file box, then again, which the chooser's own
    // question has asked about; then Save.
    plugin->setPresetName (presets(), "~Draft");
    chooser.shownFolder = presetRoot();
    chooser.typedName = "~Draft" + ext;
    chooser.answer = { FolderChild::of (presetRoot(), chooser.typedName) };
    editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent);
    EXPECT_TRUE (inRoot ("~Draft" + ext).existsAsFile());
    editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent);
    EXPECT_EQ (editor->getOverwriteAlert(), nullptr);
    editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetEvent);
    clickButton (editor->getOverwriteAlert(), "Yes");

    // Author update and rating, then rename, copy, move and delete in the browser.
    EXPECT_TRUE (plugin->updatePresetAuthor (inRoot ("~Draft" + ext).getFullPathName()));
    EXPECT_TRUE (Preset::rewriteFileRating (inRoot ("~Draft" + ext), 4));
    presets()->refresh();
    open (presetRoot().getFullPathName());
    column (0).renameItem (rowOf (column (0), "~Draft"), "~");
    pump();
    open (presetRoot().getFullPathName());
    select (column (0), { "~" });
    window->buttonClicked (&window->getCopyButton());
    pump();
    EXPECT_TRUE (inRoot ("~" + ext).existsAsFile() && inRoot ("~(2)" + ext).existsAsFile());

    ASSERT_TRUE (inRoot ("~old").createDirectory());
    presets()->refresh();
    open (presetRoot().getFullPathName());
    drop (column (0), { "~(2)" }, column (0), rowOf (column (0), "~old"));
    EXPECT_TRUE (answer ("Yes"));
    EXPECT_TRUE (inRoot ("~old/~(2)" + ext).existsAsFile());

    open (presetRoot().getFullPathName());
    select (column (0), { "~", "~old" });
    window->buttonClicked (&window->getDeleteButton());
    EXPECT_TRUE (answer ("Yes"));
    const auto trash = home.getChildFile (".local/share/Trash");
    EXPECT_TRUE (FolderChild::of (trash, "files/~" + ext).existsAsFile());
    EXPECT_TRUE (FolderChild::of (trash, "files/~old/~(2)" + ext).existsAsFile());
    EXPECT_TRUE (FolderChild::of (trash, "info/~old.trashinfo").loadFileAsString().contains ("Path=" + presetRoot().getFullPathName() + "/~old\n"));

    // Both map saves, typed in the chooser's file box or clicked.
    auto& midi = *editor->getMidiControlPage();
    auto& host = *editor->getHostParametersPage();
    struct MapSave { juce::Button& save; juce::String typed; juce::File clicked, saved; bool asks; };

    for (const auto& m : { MapSave { midi.getSaveButton(), "~typed", {}, FolderChild::of (maps, "~typed.cvccmap"), false },
                           MapSave { midi.getSaveButton(), "~typed", {}, FolderChild::of (maps, "~typed.cvccmap"), true },
                           MapSave { host.getSaveButton(), "~ptyped", {}, FolderChild::of (maps, "~ptyped.cvhpmap"), false },
                           MapSave { midi.getSaveButton(), {}, FolderChild::of (maps, "~old.cvccmap"), FolderChild::of (maps, "~old.cvccmap"), false } })
    {
        SCOPED_TRACE (m.saved.getFileName());
        chooser.shownFolder = maps;
        chooser.typedName = m.typed;
        chooser.clicked = { m.clicked };
        chooser.answer = { m.typed.isNotEmpty() ? FolderChild::of (maps, m.typed) : m.clicked };
        m.save.triggerClick();
        pump();

        if (m.asks)
            clickButton (midi.getOverwriteAlert(), "Yes");

        EXPECT_TRUE (m.saved.existsAsFile());
        EXPECT_EQ (midi.getErrorAlert(), nullptr);
        EXPECT_EQ (host.getErrorAlert(), nullptr);
    }

    // Paths read back from a session or the environment are whole paths or nothing.
    ASSERT_TRUE (FolderChild::of (work, "~Rel" + ext).replaceWithText ("<Preset/>"));
    EXPECT_FALSE (plugin->updatePresetAuthor ("~Rel" + ext));
    setenv ("CORVANE_DATA_ROOT", "~rel", 1);
    EXPECT_EQ (ApplicationDataFolders::getRoot(), juce::File());
    unsetenv ("CORVANE_DATA_ROOT");

    previous.setAsCurrentWorkingDirectory();
    EXPECT_EQ (FolderChild::of (work, "~Rel" + ext).loadFileAsString(), "<Preset/>");
    EXPECT_EQ (work.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
    EXPECT_EQ (home.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles), homeBefore);
    EXPECT_EQ (maps.getNumberOfChildFiles (juce::File::findFiles), 3);
}
