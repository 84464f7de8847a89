#include "EditorTestSupport.h"
#include <juce_cryptography/juce_cryptography.h>
#include "ApplicationDataFolders.h"
#include "FilePreset.h"
#include "GFXPanel.h"
#include "GUISettingsComponent.h"
#include "HostParametersComponent.h"
#include "MidiControlComponent.h"
#include "OptionsWindow.h"
#include "ParameterChooserMenu.h"
#include "PresetsSettingsComponent.h"
#include "TestFolder.h"

#include <filesystem>

namespace
{
    juce::Colour pixelAt (juce::Component& c, int x, int y)
    {
        return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f).getPixelAt (x, y);
    }

    // A default map is a file: browsing must offer the page's map files, never folders.
    void expectBrowsesForMapFiles (ScriptedChooser& chooser, PathComponent& field, const juce::String& wildcard)
    {
        chooser.answer.clear();
        field.browse();
        ASSERT_FALSE (chooser.requests.isEmpty());
        const auto& request = chooser.requests.getLast();
        EXPECT_NE (request.flags & juce::FileBrowserComponent::canSelectFiles, 0);
        EXPECT_EQ (request.flags & juce::FileBrowserComponent::canSelectDirectories, 0);
        EXPECT_EQ (request.patterns, wildcard);
    }
}

//==============================================================================
class HostParametersPageTest  : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();

        if (editor == nullptr)
            return;

        page = std::make_unique<HostParametersComponent> (*plugin);
        page->extension = ".cvhpmap";
        page->setStrings ("*.cvhpmap");
        page->getList().setParameterMenu (ParameterChooserMenu::create (*plugin));
        editor->addAndMakeVisible (*page);
        page->setBounds (0, 0, 631, 450);
    }

    void TearDown() override
    {
        page.reset();
        EditorTest::TearDown();
    }

    std::unique_ptr<HostParametersComponent> page;
};

TEST_F (HostParametersPageTest, LaysOutColumnsAndBlanksTheUnusedEndOfTheLast)
{
    struct Case { int rowsPerColumn, columns, lastColumnFirstSlot; bool blanked; };
    const Case cases[] = { { 16, 8, 113, false }, { 10, 13, 121, true } };
    auto& list = page->getList();

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.rowsPerColumn);
        list.setRowsPerColumn (c.rowsPerColumn);
        page->resized();

        EXPECT_EQ (list.getNumColumns(), c.columns);
        EXPECT_FLOAT_EQ (list.getColumnWidth(), 200.0f);
        EXPECT_EQ (list.getWidth(), 200 * c.columns);
        EXPECT_EQ (list.getHeight(), 22 * c.rowsPerColumn + 20);

        const auto* first = list.getRow (c.lastColumnFirstSlot - 1);
        EXPECT_EQ (first->getBounds(), juce::Rectangle<int> (list.getNumberColumnWidth() + 200 * (c.columns - 1) + 6, 21,
                                                             200 - list.getNumberColumnWidth() - 12, 20));
        EXPECT_EQ (first->getName(), "HPComboBox" + juce::String (c.lastColumnFirstSlot));

        // The number column of the last column: grey where slots are, blanked below slot 128.
        const auto y = 20 + 22 * (c.rowsPerColumn - 1) + 11;
        EXPECT_EQ (pixelAt (list, 200 * (c.columns - 1) + 2, y), c.blanked ? juce::Colour (0xffe3e3e3) : juce::Colour (0xffbfbfbf));
    }
}

TEST_F (HostParametersPageTest, RowChoicesMoveParametersBetweenSlots)
{
    // After each choice: the parameter ids on slots 1 and 3 and the rows' texts.
    struct Step { int slot, id, onFirst, onThird; const char* firstText; const char* thirdText; };
    const auto cutoff = plugin->parameterManager.getParameterName (1008);
    const Step steps[] = {
        { 0, 1008, 1008, -1, nullptr, "- none -" },
        { 2, 1008, -1, 1008, "- none -", nullptr },
        { 2, -1, -1, -1, "- none -", "- none -" }
    };

    plugin->clearHostParametersMap();
    pump();
    auto& list = page->getList();

    for (auto& step : steps)
    {
        list.getRow (step.slot)->setSelectedId (step.id, true);
        pump();

        const std::pair<int, const char*> expected[] = { { step.onFirst, step.firstText }, { step.onThird, step.thirdText } };

        for (int i = 0; i < 2; ++i)
        {
            auto* onSlot = plugin->getHostSlotParameter (i * 2);
            EXPECT_EQ (onSlot != nullptr ? onSlot->getIndex() : -1, expected[i].first);
            EXPECT_EQ (list.getRow (i * 2)->getButton().getButtonText(),
                       expected[i].second != nullptr ? juce::String (expected[i].second) : cutoff);
        }
    }
}

TEST_F (HostParametersPageTest, ARowsMenuOpensWithItsOwnParameterTicked)
{
    // Every row shares one menu; the second row is the last one that ticked it.
    struct Case { int slot, id, otherId; };
    const Case cases[] = { { 0, 1008, 2013 }, { 1, 2013, 1008 } };
    auto& list = page->getList();

    for (auto& c : cases)
        list.getRow (c.slot)->setSelectedId (c.id, true);

    for (auto& c : cases)
    {
        auto* row = list.getRow (c.slot);
        row->getButton().triggerClick();
        pump();

        auto& menu = row->getMenu();
        EXPECT_TRUE (menu.isOpen()) << c.slot;
        EXPECT_TRUE (menu.findItem (c.id)->ticked) << c.slot;
        EXPECT_FALSE (menu.findItem (c.otherId)->ticked) << c.slot;
        editor->createComponentSnapshot (editor->getLocalBounds());   // painting with the menu open must not fail
        menu.close();
        pump();
    }
}

TEST_F (HostParametersPageTest, SavesWithTheMapExtensionAndRefusesBadFilesWithAnAlert)
{
    const TestFolder testFolder ("corvane-host-maps");
    const auto& folder = testFolder.getFile();
    ASSERT_TRUE (folder.isDirectory());
    plugin->assignHostParameter (4, plugin->parameterManager.getParameter (2002));

    for (auto name : { "mine", "mine.txt", "mine.cvhpmap" })
    {
        folder.getChildFile ("mine.cvhpmap").deleteFile();
        chooser.answer = { folder.getChildFile (name) };
        page->getSaveButton().triggerClick();
        pump();
        EXPECT_TRUE (folder.getChildFile ("mine.cvhpmap").existsAsFile()) << name;
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << name;
    }

    const auto broken = folder.getChildFile ("broken.cvhpmap");
    broken.replaceWithText ("<NotAMap/>");
    chooser.answer = { broken };
    page->getLoadButton().triggerClick();
    pump();
    ASSERT_NE (page->getErrorAlert(), nullptr);
    EXPECT_EQ (plugin->getHostSlotParameter (4), plugin->parameterManager.getParameter (2002));

    chooser.answer.clear();
    plugin->clearHostParametersMap();
    chooser.answer = { folder.getChildFile ("mine.cvhpmap") };
    page->getLoadButton().triggerClick();
    pump();
    EXPECT_EQ (plugin->getHostSlotParameter (4), plugin->parameterManager.getParameter (2002));
}

TEST_F (HostParametersPageTest, NamesUpToTheFileSystemsLimitSaveAndLongerOnesAreToldSo)
{
    const TestFolder testFolder ("corvane-long-names");
    const auto& folder = testFolder.getFile();
    ASSERT_TRUE (folder.isDirectory());
    MidiControlComponent midiPage (&plugin->midiControl, ".cvccmap", "*.cvccmap");

    // Each saver's longest name fills 255 bytes with its extension; one byte more is too long.
    const struct { const char* extension; std::function<void()> save; std::function<Halvorn::AlertWindow*()> alert; const char* refusal; const char* quote; } savers[] =
    {
        { ".cvprst", [this] { editor->handleControllerEvent (nullptr, BasePluginEditor::savePresetAsEvent); },
          [this] { return editor->getSaveFailedAlert(); }, "The preset could not be saved to ", "'" },
        { ".cvhpmap", [this] { page->getSaveButton().triggerClick(); }, [this] { return page->getErrorAlert(); }, "The map could not be written to ", "\"" },
        { ".cvccmap", [&midiPage] { midiPage.getSaveButton().triggerClick(); }, [&midiPage] { return midiPage.getErrorAlert(); }, "The map could not be written to ", "\"" },
    };

    for (const auto& s : savers)
    {
        for (const auto extra : { 0, 1 })
        {
            SCOPED_TRACE (juce::String (s.extension) + " " + juce::String (extra));
            const auto name = juce::String::repeatedString ("n", 255 + extra - (int) std::strlen (s.extension));
            chooser.answer = { folder.getChildFile (name) };
            s.save();
            pump();

            const auto file = folder.getChildFile (name + s.extension);
            auto* alert = s.alert();
            EXPECT_EQ (alert != nullptr && alert->isVisible() ? alert->getMessageLabel().getText() : juce::String(),
                       extra == 0 ? juce::String() : s.refusal + (s.quote + file.getFullPathName()) + s.quote
                                                         + ": the name is too long: at most 255 bytes with its extension.");
            EXPECT_EQ (file.existsAsFile(), extra == 0);

            if (alert != nullptr)
                alert->setVisible (false);
        }
    }
}

TEST_F (HostParametersPageTest, DefaultMapPathMustNameAFile)
{
    const TestFolder testFolder ("corvane-default-map");
    const auto& folder = testFolder.getFile();
    ASSERT_TRUE (folder.isDirectory());
    const auto file = folder.getChildFile ("start.cvhpmap");
    auto& box = page->getDefaultMapBox();
    box.getCheckBox().setToggleState (true, juce::sendNotificationSync);

    struct Case { juce::File chosen; juce::String stored; };

    for (auto& c : { Case { file, file.getFullPathName() }, Case { folder, file.getFullPathName() } })
    {
        box.getPathComponent().setPath (c.chosen.getFullPathName(), true);
        EXPECT_TRUE (plugin->hostMapDefault);
        EXPECT_EQ (plugin->hostMapPath, c.stored);
        EXPECT_EQ (box.getPathComponent().getPath(), c.stored);
    }

    expectBrowsesForMapFiles (chooser, box.getPathComponent(), "*.cvhpmap");
}

// Built before the editor's look-and-feel is the default, the pages must not tie the font
// names to fallback faces for the rest of the process.
TEST_F (EditorTest, PagesBuiltEarlyLeaveTheFontMappingAlone)
{
    juce::LookAndFeel_V4 plain;
    juce::LookAndFeel::setDefaultLookAndFeel (&plain);
    juce::Typeface::clearTypefaceCache();

    {
        HostParametersComponent hostPage (*plugin);
        MidiControlComponent midiPage (&plugin->midiControl, ".cvccmap", "*.cvccmap");
    }

    juce::LookAndFeel::setDefaultLookAndFeel (&editor->getDefaultLookAndFeel());

    for (auto style : { juce::Font::plain, juce::Font::bold })
    {
        const juce::Font font ("Tahoma", 13.0f, style);
        const auto expected = editor->getDefaultLookAndFeel().getTypefaceForFont (font);
        EXPECT_EQ (font.getTypefacePtr()->getName(), expected->getName()) << style;
        EXPECT_EQ (font.getTypefacePtr()->getStyle(), expected->getStyle()) << style;
    }
}

//==============================================================================
class MidiControlPageTest  : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();

        if (editor == nullptr)
            return;

        makePage();
    }

    void makePage()
    {
        page = std::make_unique<MidiControlComponent> (&plugin->midiControl, ".cvccmap", "*.cvccmap");
        editor->addAndMakeVisible (*page);
        // Ten visible rows: (height - scroll bar - header - 6) / 20.
        page->setBounds (0, 0, 630, 225 + page->getList().getScrollBar().getHeight() + 26);
    }

    void TearDown() override
    {
        page.reset();
        EditorTest::TearDown();
    }

    void assignFirst (int count)
    {
        auto& control = plugin->midiControl;
        control.clearMap();
        int controller = 0;

        for (int i = 0; i < plugin->parameterManager.getNumParameters() && controller < count; ++i)
            if (auto* p = plugin->parameterManager.getParameterAt (i); p->isAutomatable())
                control.assign (controller++, p, true);

        pump();
    }

    std::unique_ptr<MidiControlComponent> page;
};

TEST_F (MidiControlPageTest, ColumnsScrollRangeAndButtons)
{
    struct Case { int assignments, columns; bool scrolls, clearEnabled; };
    const Case cases[] = { { 0, 3, false, false }, { 30, 3, false, true }, { 31, 4, true, true } };
    auto& list = page->getList();
    ASSERT_EQ (list.getVisibleRows(), 10);

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.assignments);
        assignFirst (c.assignments);
        EXPECT_EQ (list.getRows().size(), c.assignments);
        EXPECT_EQ (list.getNumColumns(), c.columns);
        EXPECT_EQ (list.getScrollBar().isEnabled(), c.scrolls);
        EXPECT_EQ ((int) list.getScrollBar().getMaximumRangeLimit(), list.getColumnWidth() * c.columns);
        EXPECT_EQ (page->getClearButton().isEnabled(), c.clearEnabled);
        EXPECT_FALSE (page->getDeleteButton().isEnabled());
    }

    // Selecting a row of the fourth column scrolls just far enough to show it.
    list.selectRow (30);
    EXPECT_EQ (list.getScrollBar().getCurrentRange().getEnd(), 4.0 * list.getColumnWidth());

    // A click on a listed row enables deleting; a click on an empty cell below the last does not.
    const auto area = list.getArea();
    struct Click { int column, row; bool listed; };

    for (auto click : { Click { 3, 5, false }, Click { 3, 0, true }, Click { 1, 9, true } })
    {
        const juce::Point<float> at ((float) (area.getX() + click.column * list.getColumnWidth() + 10
                                              - juce::roundToInt (list.getScrollBar().getCurrentRangeStart())),
                                     (float) (area.getY() + 19 + click.row * 20 + 10));
        list.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), at, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                          &list, &list, juce::Time(), at, juce::Time(), 1, false));
        EXPECT_EQ (list.getSelectedRow(), click.column * 10 + click.row);
        EXPECT_EQ (page->getDeleteButton().isEnabled(), click.listed);
    }

    ASSERT_NE (plugin->midiControl.getParameterOf (19), nullptr);
    page->getDeleteButton().triggerClick();
    pump();
    EXPECT_EQ (plugin->midiControl.getParameterOf (19), nullptr);
    EXPECT_EQ (list.getRows().size(), 30);

    // Back to three columns: the table shows them all again, from the first.
    EXPECT_EQ (list.getScrollBar().getCurrentRangeStart(), 0.0);
    EXPECT_EQ (pixelAt (list, area.getRight() - 20, area.getY() + 5), juce::Colour (0xff6e6e6e));
}

TEST_F (MidiControlPageTest, LearnStateSelectsTheLearntRowAndClicksOfferItsParameter)
{
    assignFirst (12);
    auto& control = plugin->midiControl;
    auto& list = page->getList();
    control.setLearning (true);

    auto* parameter = control.getParameterOf (11);
    list.selectRow (11);
    pump();
    EXPECT_EQ (control.getLearnCandidate(), parameter);
    EXPECT_EQ (control.getLearntController(), 11);
    EXPECT_EQ (list.getSelectedRow(), 11);
    EXPECT_EQ (control.getParameterOf (11), parameter);

    control.ccMoved (3);
    pump();
    EXPECT_EQ (list.getSelectedRow(), 3);

    control.setLearning (false);
    pump();
    EXPECT_EQ (list.getSelectedRow(), -1);
}

TEST_F (MidiControlPageTest, DefaultMapBoxShowsTheStoredFlag)
{
    struct Case { bool flag; juce::String path; };

    for (auto& c : { Case { true, {} }, Case { false, "/maps/mine.cvccmap" }, Case { true, "/maps/mine.cvccmap" } })
    {
        plugin->midiControl.setDefaultMap (c.flag);
        plugin->midiControl.setMapPath (c.path);
        page.reset();
        makePage();
        EXPECT_EQ (page->getDefaultMapBox().getCheckBox().getToggleState(), c.flag) << c.path;
        EXPECT_EQ (page->getDefaultMapBox().getPathComponent().getPath(), c.path);
        EXPECT_EQ (plugin->midiControl.isDefaultMap(), c.flag);
    }

    expectBrowsesForMapFiles (chooser, page->getDefaultMapBox().getPathComponent(), "*.cvccmap");
}

//==============================================================================
class PresetsPageTest  : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();

        if (editor == nullptr)
            return;

        page = std::make_unique<PresetsSettingsComponent> (*plugin);
        editor->addAndMakeVisible (*page);
        page->setBounds (0, 0, 600, 300);
    }

    void TearDown() override
    {
        page.reset();
        EditorTest::TearDown();
    }

    /** Own presets (no id) and factory presets (with one) in a small tree. */
    void writePresets (int own, int factory)
    {
        plugin->setAuthor ("Before");

        for (int i = 0; i < own + factory; ++i)
        {
            const auto file = presetRoot().getChildFile (i % 2 == 0 ? "A" : "B").getChildFile ("P" + juce::String (i) + presets()->getExtension());
            file.getParentDirectory().createDirectory();
            ASSERT_TRUE (plugin->savePresetToFile (presets(), file));

            if (i >= own)
            {
                auto xml = juce::parseXML (file);
                xml->setAttribute ("id", "F" + juce::String (i));
                xml->writeTo (file);
                factoryFiles.add (file);
            }
        }

        presets()->refresh();
        plugin->setAuthor ("Mine");
    }

    juce::String authorOf (const juce::File& file)
    {
        FilePreset preset;
        preset.loadFromFile (file, plugin->parameterManager, true);
        return preset.getAuthor();
    }

    void waitForEnd (PresetsSettingsComponent::UpdateAuthorWindow& window)
    {
        for (int i = 0; i < 500 && window.isThreadRunning(); ++i)
            pump (10);

        pump (120);
    }

    std::unique_ptr<PresetsSettingsComponent> page;
    juce::Array<juce::File> factoryFiles;
};

TEST_F (PresetsPageTest, ProgressIsComputedInWholeNumbers)
{
    struct Case { int processed, total, percent; };

    for (auto c : { Case { 29, 50, 58 }, Case { 1, 250, 0 }, Case { 3, 250, 1 }, Case { 250, 250, 100 },
                    Case { 0, 0, 0 }, Case { 7, 5, 100 }, Case { 30000000, 40000000, 75 } })
        EXPECT_EQ (PresetsSettingsComponent::UpdateAuthorWindow::getProgressPercent (c.processed, c.total), c.percent)
            << c.processed << "/" << c.total;
}

TEST_F (PresetsPageTest, StampsTheAuthorIntoOwnPresetsOnly)
{
    writePresets (4, 2);
    const auto factoryBefore = factoryFiles.getFirst().loadFileAsString();
    auto& window = page->getUpdateWindow();

    page->getUpdateButton().triggerClick();
    pump (5);
    EXPECT_TRUE (window.isVisible());
    EXPECT_EQ (window.getProgressLabel().getText(), "Progress: 0%");
    waitForEnd (window);

    EXPECT_EQ (window.getMessageLabel().getText(), "Operation completed.");
    EXPECT_TRUE (window.getOkButton().isEnabled());
    EXPECT_FALSE (window.getCancelButton().isEnabled());
    EXPECT_EQ (presets()->getNumPresets(), 6);

    for (auto& path : presets()->getPresetPaths())
    {
        const juce::File file (path);
        EXPECT_EQ (authorOf (file), factoryFiles.contains (file) ? "Before" : "Mine") << path;
    }

    EXPECT_EQ (factoryFiles.getFirst().loadFileAsString(), factoryBefore);

    window.getOkButton().triggerClick();
    pump();
    EXPECT_FALSE (window.isVisible());
}

TEST_F (PresetsPageTest, CancelAndTeardownWhileRunning)
{
    writePresets (60, 0);
    auto& window = page->getUpdateWindow();

    page->getUpdateButton().triggerClick();
    pump (1);
    window.getCancelButton().triggerClick();
    waitForEnd (window);
    EXPECT_FALSE (window.isThreadRunning());
    EXPECT_FALSE (window.hasFinished());
    EXPECT_EQ (window.getMessageLabel().getText(), "Operation has been cancelled.");
    EXPECT_EQ (presets()->getNumPresets(), 60);

    // Destroying the page during a run waits for the worker.
    window.getOkButton().triggerClick();
    pump();
    page->getUpdateButton().triggerClick();
    pump (1);
    EXPECT_TRUE (window.isThreadRunning() || window.hasFinished());
    page.reset();
    EXPECT_EQ (presets()->getNumPresets(), 60);
}

//==============================================================================
class GUISettingsPageTest  : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ApplicationDataFolders::setRoot (root);
    }

    void TearDown() override
    {
        ApplicationDataFolders::setRoot ({});
        EditorTest::TearDown();
    }

    static juce::MemoryBlock png (int width, int height)
    {
        juce::Image image (juce::Image::ARGB, width, height, true);
        image.clear (image.getBounds(), juce::Colours::red);
        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream (image, out);
        return out.getMemoryBlock();
    }

    /** A skin archive: the inner archive with a panel over its background and the pictures,
        and its digest.
    */
    void makeSkin (const juce::String& name, int backgroundWidth, bool withThumbnail = true)
    {
        // Entries carry a real date: the archive format cannot store the epoch.
        juce::ZipFile::Builder inner;
        const juce::String skin ("<PluginEditor application=\"Corvane\"><Panel name=\"MainPanel\"><gfx resource=\"Background.png\"/></Panel></PluginEditor>");
        inner.addEntry (new juce::MemoryInputStream (skin.toRawUTF8(), skin.getNumBytesAsUTF8(), true), 0, "skin.xml", juce::Time::getCurrentTime());
        inner.addEntry (new juce::MemoryInputStream (png (backgroundWidth, 600), true), 0, "Background.png", juce::Time::getCurrentTime());

        if (withThumbnail)
            inner.addEntry (new juce::MemoryInputStream (png (40, 30), true), 0, "Thumbnail.png", juce::Time::getCurrentTime());

        juce::MemoryOutputStream innerBytes;
        inner.writeToStream (innerBytes, nullptr);
        const auto digest = juce::MD5 (innerBytes.getMemoryBlock()).toHexString();

        juce::ZipFile::Builder outer;
        outer.addEntry (new juce::MemoryInputStream (innerBytes.getMemoryBlock(), true), 0, name + ".skin", juce::Time::getCurrentTime());
        outer.addEntry (new juce::MemoryInputStream (digest.toRawUTF8(), digest.getNumBytesAsUTF8(), true), 0, name + ".md5", juce::Time::getCurrentTime());

        const auto file = editor->getSkinFile (name);
        file.getParentDirectory().createDirectory();
        juce::FileOutputStream out (file);
        outer.writeToStream (out, nullptr);
    }

    const TestFolder rootFolder { "corvane-gui-page" };
    const juce::File root = rootFolder.getFile().getChildFile ("root");
};

TEST_F (GUISettingsPageTest, ListsSkinsByWidthAndSelectsIgnoringCase)
{
    makeSkin ("Wide", 1600);
    makeSkin ("Narrow", 800, false);
    makeSkin ("Middle", 1200);
    juce::File (editor->getSkinsFolder().getChildFile ("notes.txt")).replaceWithText ("not a skin");

    // A skin whose name is not UTF-8 (Latin-1) cannot be named, and a folder is no skin.
    const std::filesystem::path skins (editor->getSkinsFolder().getFullPathName().toStdString());
    std::filesystem::copy_file (editor->getSkinFile ("Wide").getFullPathName().toStdString(), skins / "caf\xe9.halvornskin");
    std::filesystem::create_directory (skins / "Folder.halvornskin");

    GUISettingsComponent page (*editor);
    ASSERT_EQ (page.getSkins().size(), 3);

    struct Case { int index; juce::String name, menuText; bool thumbnail; };
    const Case cases[] = { { 0, "Narrow", "Narrow - 800 x 600", false }, { 1, "Middle", "Middle - 1200 x 600", true },
                           { 2, "Wide", "Wide - 1600 x 600", true } };

    for (auto& c : cases)
    {
        EXPECT_EQ (page.getSkins()[c.index].name, c.name);
        EXPECT_EQ (GUISettingsComponent::getSkinMenuText (page.getSkins()[c.index]), c.menuText);
        page.setCurrentSkin (c.name.toUpperCase(), false);
        EXPECT_EQ (page.getCurrentSkin(), c.name);
        EXPECT_EQ (page.getCurrentPreview().getThumbnail().isValid(), c.thumbnail);
    }

    page.setCurrentSkin ("Missing", true);
    EXPECT_EQ (page.getCurrentSkin(), "Wide");

    // Without a display nothing fits, so the narrowest skin is recommended.
    const auto userArea = GUISettingsComponent::getMainDisplayUserArea();
    juce::String expected = "Narrow";
    for (auto name : { "Middle", "Wide" })
        if (userArea.contains (page.getSkins()[page.findSkin (name)].bounds))
            expected = name;
    EXPECT_EQ (page.getRecommendedSkin(), expected);

    // Both panels split the width, also after a look-and-feel change fits them to their content.
    page.setSize (800, 400);
    page.setLookAndFeel (&editor->getDefaultLookAndFeel());
    for (auto* box : { &page.getDefaultComboBox(), &page.getCurrentComboBox() })
        EXPECT_EQ (box->getParentComponent()->getParentComponent()->getWidth(), 397);
    EXPECT_NO_THROW (page.createComponentSnapshot (page.getLocalBounds()));
    page.setLookAndFeel (nullptr);
}

TEST_F (GUISettingsPageTest, NoSkinsFolderLeavesEverythingEmpty)
{
    GUISettingsComponent page (*editor);
    EXPECT_TRUE (page.getSkins().isEmpty());
    EXPECT_TRUE (page.getRecommendedSkin().isEmpty());
    EXPECT_TRUE (page.getDefaultSkin().isEmpty());
    EXPECT_EQ (page.getDefaultComboBox().getText(), "---");
}

TEST_F (GUISettingsPageTest, ARequestedSkinLoadsAtTheNextTickWhileSkinChoiceStaysOff)
{
    // The framework's own editor: the product's binds the built-in skin's widgets once.
    makeSkin ("Middle", 1200);
    BasePluginEditor framework (*plugin);
    framework.initialise();

    // A skin that cannot be loaded gives the shown one back.
    struct Case { const char* requested; const char* shown; };
    const Case cases[] = { { "Middle", "Middle" }, { "Missing", "Middle" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.requested);
        framework.requestSkinChange (c.requested);
        EXPECT_EQ (framework.getStatusBar()->getText(), "Loading skin...");
        EXPECT_EQ (framework.getStatusBar()->getPriority(), 0);
        EXPECT_FALSE (framework.getSkinPanel()->isVisible());

        framework.timerTick();
        EXPECT_EQ (framework.getCurrentSkinName(), c.shown);
        EXPECT_TRUE (framework.getSkinPanel()->isVisible());
        EXPECT_EQ (framework.getBounds(), juce::Rectangle<int> (0, 0, 1200, 616));
        EXPECT_EQ (framework.getStatusBar()->getText(), "");
    }

    // Skin choice off: no "GUI" page, and the skin shown is not recorded.
    EXPECT_EQ (framework.getGUISettingsComponent(), nullptr);
    EXPECT_FALSE (framework.getOptionsWindow()->getTabs().getTabNames().contains ("GUI"));
    EXPECT_EQ (framework.createStateXml()->getNumChildElements(), 0);
}

TEST_F (GUISettingsPageTest, WithSkinChoiceTheDefaultSkinLoadsOrTheStatusBarSaysNoneIsThere)
{
    struct SkinChoosingEditor  : BasePluginEditor
    {
        explicit SkinChoosingEditor (BasePlugin& p) : BasePluginEditor (p)  { skinChoiceEnabled = true; }
    };

    for (const auto withSkin : { false, true })
    {
        SCOPED_TRACE (withSkin);

        if (withSkin)
            makeSkin ("Narrow", 800);

        SkinChoosingEditor choosing (*plugin);
        choosing.initialise();
        const auto missing = "Plugin skins not found in directory: '" + choosing.getSkinsFolder().getFullPathName()
                               + "'. Please reinstall to repair.";

        EXPECT_EQ (choosing.getOptionsWindow()->getTabs().getTabNames().joinIntoString (","),
                   "Processing,Presets,Parameters,Midi Control,GUI");
        EXPECT_EQ (choosing.getCurrentSkinName(), withSkin ? "Narrow" : "");
        EXPECT_EQ (choosing.getGUISettingsComponent()->getCurrentSkin(), withSkin ? "Narrow" : "");
        EXPECT_EQ (choosing.getStatusBar()->getText(), withSkin ? juce::String() : missing);
        EXPECT_EQ (choosing.createSettingsXml()->getChildByName ("Skin")->getStringAttribute ("name"), withSkin ? "Narrow" : "");

        auto& window = *choosing.getOptionsWindow();
        window.getTabs().setCurrentTabIndex (4);
        window.createComponentSnapshot (window.getLocalBounds());   // painting the page must not fail
    }
}

// The extension step may name another map than the one chosen: the user is asked first.
TEST_F (EditorTest, AMapSaveOntoAnotherExistingMapAsksFirst)
{
    auto& midi = *editor->getMidiControlPage();
    auto& host = *editor->getHostParametersPage();
    plugin->assignHostParameter (4, plugin->parameterManager.getParameter (2002));

    struct Page { juce::Button& save; std::function<Halvorn::AlertWindow*()> question; juce::String extension; };
    // A link that leads to no file yet is asked about, and then written through as a preset's is.
    struct Case { juce::String chosen, existing; const char* answer; bool replaced, danglingLink; };
    const Case cases[] = {
        { "Room 1.5", "Room 1", "Cancel", false, false },
        { "notes.txt", "notes", "Yes", true, false },
        { "Fresh", {}, nullptr, true, false },
        { "Linked", "Linked", "Yes", true, true },
    };

    for (const auto& page : { Page { midi.getSaveButton(), [&] { return midi.getOverwriteAlert(); }, ".cvccmap" },
                              Page { host.getSaveButton(), [&] { return host.getOverwriteAlert(); }, ".cvhpmap" } })
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.chosen + page.extension);
            const TestFolder rowFolder ("corvane-map-saves");
            const auto& folder = rowFolder.getFile();
            ASSERT_TRUE (folder.isDirectory());
            const auto target = folder.getChildFile (juce::File (c.chosen).getFileNameWithoutExtension() + page.extension);

            if (c.danglingLink)
            {
                ASSERT_TRUE (folder.getChildFile ("Real" + page.extension).createSymbolicLink (target, false));
            }
            else if (c.existing.isNotEmpty())
            {
                ASSERT_TRUE (target.replaceWithText ("old map"));
            }

            chooser.answer = { folder.getChildFile (c.chosen) };
            page.save.triggerClick();
            pump();

            auto* question = page.question();
            EXPECT_EQ (question != nullptr && question->isVisible(), c.answer != nullptr);

            if (c.answer != nullptr && question != nullptr)
            {
                EXPECT_EQ (question->getMessageLabel().getText(), "Do you want to overwrite map '" + target.getFileNameWithoutExtension() + "' ?");

                for (int i = 0; i < question->getNumButtons(); ++i)
                    if (question->getButton (i)->getButtonText() == c.answer)
                        question->buttonClicked (question->getButton (i));
            }

            EXPECT_EQ (target.loadFileAsString() != "old map", c.replaced);
            EXPECT_TRUE (target.existsAsFile());
            EXPECT_EQ (target.isSymbolicLink(), c.danglingLink);
            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), c.danglingLink ? 2 : 1);
        }
    }
}
