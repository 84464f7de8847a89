#include "MidiControlComponent.h"
#include "DefaultLookAndFeel.h"
#include "FileDialogs.h"
#include "FolderChild.h"
#include "Parameter.h"

//==============================================================================
MidiControlComponent::ListComponent::ListComponent (MidiControlComponent& o, MidiControl& m)
    : owner (o), midiControl (m)
{
    scrollBar.setAutoHide (false);
    scrollBar.addListener (this);
    addAndMakeVisible (scrollBar);
    lookAndFeelChanged();
}

MidiControlComponent::ListComponent::~ListComponent()
{
    scrollBar.removeListener (this);
}

void MidiControlComponent::ListComponent::setVisibleColumns (int columns)
{
    visibleColumns = juce::jmax (1, columns);
    updateLayout();
}

void MidiControlComponent::ListComponent::rebuild()
{
    rows.clearQuick();
    selectedRow = -1;

    {
        const juce::ScopedLock sl (midiControl.getLock());

        for (int controller = 0; controller < MidiControl::numControllers; ++controller)
            if (auto* parameter = midiControl.getParameterOf (controller))
                rows.add ({ controller, parameter->getName() });
    }

    updateLayout();
}

void MidiControlComponent::ListComponent::updateLayout()
{
    const auto inner = area.reduced (1);
    innerY = inner.getY();
    innerHeight = inner.getHeight();
    innerWidth = inner.getWidth();

    numColumns = juce::jmax (visibleColumns, (rows.size() + visibleRows - 1) / visibleRows);
    columnWidth = innerWidth / visibleColumns + 1;
    ccColumnWidth = juce::roundToInt (juce::jmax (cellFont.getStringWidthFloat ("127"), headerFont.getStringWidthFloat ("CC"))) + 8;
    parameterColumnWidth = columnWidth - ccColumnWidth;

    const auto totalWidth = columnWidth * numColumns;
    innerWidth = juce::jmax (innerWidth, totalWidth);

    scrollBar.setRangeLimits (0.0, (double) totalWidth, juce::dontSendNotification);
    scrollBar.setCurrentRange (scrollBar.getCurrentRangeStart(), (double) (visibleColumns * columnWidth), juce::dontSendNotification);
    scrollBar.setSingleStepSize ((double) (columnWidth / 12));
    scrollBar.setEnabled (numColumns > visibleColumns);
    // The new limits may have pulled the range back without telling anyone: the table
    // must follow where the bar really is, or a shrunk list shows empty columns.
    scrollBarMoved (&scrollBar, scrollBar.getCurrentRangeStart());
    repaint();
}

void MidiControlComponent::ListComponent::selectRow (int index)
{
    if (index == selectedRow)
        return;

    selectedRow = index;

    if (index >= 0)
    {
        const auto column = index / visibleRows;
        const auto range = scrollBar.getCurrentRange();

        if (column * columnWidth < range.getStart())
            scrollBar.setCurrentRangeStart ((double) (column * columnWidth), juce::sendNotificationSync);
        else if ((column + 1) * columnWidth > range.getEnd())
            scrollBar.setCurrentRangeStart ((double) ((column + 1) * columnWidth) - range.getLength(), juce::sendNotificationSync);
    }

    repaint();
    owner.updateDeleteButton();

    if (midiControl.isLearning() && isListedRow (index))
    {
        const juce::ScopedLock sl (midiControl.getLock());
        const auto controller = rows.getReference (index).controller;

        // Moving the controller first and then touching its parameter makes exactly this pair
        // the learn state, whatever was half-learnt before; the controller is taken, so nothing
        // is assigned, and the learn-state notification selects the row again.
        if (auto* parameter = midiControl.getParameterOf (controller))
        {
            midiControl.ccMoved (controller);
            midiControl.learnParameterTouched (parameter);
            midiControl.tryAssign();
        }
    }
}

void MidiControlComponent::ListComponent::selectController (int controller)
{
    for (int i = 0; i < rows.size(); ++i)
        if (rows.getReference (i).controller == controller)
            return selectRow (i);
}

void MidiControlComponent::ListComponent::scrollBarMoved (juce::ScrollBar*, double newRangeStart)
{
    const auto offset = -juce::roundToInt (newRangeStart);

    if (offset != scrollOffset)
    {
        scrollOffset = offset;
        repaint();
    }
}

void MidiControlComponent::ListComponent::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::white);
    g.drawRoundedRectangle (area.toFloat(), 5.0f, 1.0f);

    juce::Path clip;
    clip.addRoundedRectangle (area.reduced (1).toFloat(), 5.0f);
    g.reduceClipRegion (clip);

    g.setColour (juce::Colour (0xff6e6e6e));
    g.fillRect (scrollOffset, innerY, innerWidth, headerHeight);
    g.setColour (juce::Colour (0xffe3e3e3));
    g.fillRect (scrollOffset, innerY + headerHeight, innerWidth, innerHeight - headerHeight);

    g.setFont (headerFont);

    for (int column = 0; column < numColumns; ++column)
    {
        const auto x = columnWidth * column + scrollOffset;
        g.setColour (juce::Colour (0xff5b5b5b));
        g.fillRect (x, innerY, ccColumnWidth, headerHeight);
        g.setColour (juce::Colour (0xffbfbfbf));
        g.fillRect (x, innerY + headerHeight, ccColumnWidth, innerHeight - headerHeight);
        g.setColour (juce::Colours::white);
        g.drawText ("CC", x, innerY, ccColumnWidth, headerHeight, juce::Justification::centred, false);
        g.drawText ("Parameter", x + ccColumnWidth + 5, innerY, parameterColumnWidth - 10, headerHeight,
                    juce::Justification::centredLeft, false);
    }

    g.setColour (juce::Colour (0xff6e6e6e));

    for (int r = 1; r <= visibleRows; ++r)
        g.fillRect (0, innerY + headerHeight + rowHeight * r, getWidth(), 1);

    g.setFont (cellFont);

    for (int i = 0; i < rows.size(); ++i)
    {
        const auto x = columnWidth * (i / visibleRows) + scrollOffset;
        const auto y = innerY + headerHeight + rowHeight * (i % visibleRows);
        const auto& row = rows.getReference (i);
        const auto selected = i == selectedRow;

        if (selected)
        {
            g.setColour (juce::Colour (0xff5b5b5b).withAlpha (0.5f));
            g.fillRect (x, y, columnWidth, rowHeight);
        }

        g.setColour (selected ? juce::Colours::white : juce::Colours::black);
        g.drawText (juce::String (row.controller), x + 5, y, ccColumnWidth - 10, rowHeight, juce::Justification::centred, false);
        g.drawText (row.parameterName, x + ccColumnWidth + 5, y, parameterColumnWidth - 10, rowHeight,
                    juce::Justification::centredLeft, false);
    }
}

void MidiControlComponent::ListComponent::mouseDown (const juce::MouseEvent& e)
{
    const auto pos = e.getPosition();

    if (! area.contains (pos) || pos.y < area.getY() + headerHeight)
        return;

    const auto column = juce::jlimit (0, numColumns - 1, (pos.x - scrollOffset - area.getX()) / columnWidth);
    const auto row = juce::jlimit (0, visibleRows - 1, (pos.y - area.getY() - headerHeight) / rowHeight);
    selectRow (visibleRows * column + row);
}

void MidiControlComponent::ListComponent::resized()
{
    const auto width = getWidth();
    const auto barHeight = scrollBar.getHeight();
    visibleRows = juce::jmax (1, (getHeight() - barHeight - headerHeight - 6) / rowHeight);
    const auto tableHeight = visibleRows * rowHeight + headerHeight + 2;

    area = { 0, (getHeight() - barHeight - tableHeight - 4) / 2, width, tableHeight };
    scrollBar.setBounds (0, area.getY() + tableHeight + 4, width, barHeight);
    updateLayout();
}

void MidiControlComponent::ListComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        headerFont = juce::Font ("Tahoma", 13.0f, juce::Font::bold);
        cellFont = juce::Font ("Tahoma", 13.0f, juce::Font::plain);
        headerHeight = 19;
        rowHeight = 20;
        scrollBar.setSize (getWidth(), lf->getDefaultScrollbarWidth());
        resized();
    }
}

//==============================================================================
MidiControlComponent::MidiControlComponent (MidiControl* m, const juce::String& ext, const juce::String& wild)
    : midiControl (*m)
{
    jassert (m != nullptr);
    extension = ext;
    midiControl.addListener (this);
    setWildcard (wild);

    const std::pair<ToolbarDrawableButton*, const char*> buttons[] = {
        { &deleteButton, "Delete selected assignation" }, { &clearButton, "Clear all map" },
        { &loadButton, "Open map" }, { &saveButton, "Save current map" }
    };

    for (auto& [button, tip] : buttons)
    {
        button->setSize (24, 24);
        button->setTooltip (tip);
        button->addListener (this);
    }

    auto& tick = checkBox.getCheckBox();
    tick.setButtonText ("Default map");
    checkBox.addListener (this);
    // The default is a map file; a folder would leave every new instance with an empty map.
    checkBox.getPathComponent().choosesFiles = true;
    checkBox.getPathComponent().onChoiceRefused = [this] { refuseChoice ("chosen"); };
    // The box shows the stored flag itself: a path alone does not mean the map is loaded.
    tick.setToggleState (midiControl.isDefaultMap(), juce::dontSendNotification);
    checkBox.getPathComponent().setPath (midiControl.getMapPath(), false);
    checkBox.updateState();
    addAndMakeVisible (checkBox);

    list = std::make_unique<ListComponent> (*this, midiControl);
    list->setVisibleColumns (3);
    addAndMakeVisible (*list);

    buttonRow.vertical = true;
    buttonRow.alignment = 2;
    buttonRow.gap = 0;
    addAndMakeVisible (buttonRow);

    for (auto& entry : buttons)
        buttonRow.addAndMakeVisible (entry.first);

    learnButton.setClickingTogglesState (true);
    learnButton.setWantsKeyboardFocus (false);
    learnButton.addListener (this);

    lookAndFeelChanged();
    learnStateChanged (&midiControl);
    mapChanged (&midiControl);
}

MidiControlComponent::~MidiControlComponent()
{
    midiControl.removeListener (this);

    for (auto* button : { &deleteButton, &clearButton, &loadButton, &saveButton })
        button->removeListener (this);

    learnButton.removeListener (this);
    checkBox.removeListener (this);
    clearAlert.reset();
    errorAlert.reset();
    overwriteAlert.reset();
    list.reset();
}

void MidiControlComponent::setWildcard (const juce::String& newWildcard)
{
    wildcard = newWildcard;
    checkBox.getPathComponent().filePatterns = newWildcard;
}

void MidiControlComponent::updateDeleteButton()
{
    deleteButton.setEnabled (list != nullptr && list->isListedRow (list->getSelectedRow()));
}

void MidiControlComponent::mapChanged (MidiControl*)
{
    list->rebuild();
    clearButton.setEnabled (midiControl.getNumAssignments() > 0);
    updateDeleteButton();
}

void MidiControlComponent::learnStateChanged (MidiControl*)
{
    const auto controller = midiControl.getLearntController();

    if (controller != -1 && midiControl.getLearnCandidate() != nullptr)
        list->selectController (controller);
    else
        list->selectRow (-1);

    learnButton.setToggleState (midiControl.isLearning(), juce::dontSendNotification);
}

void MidiControlComponent::buttonClicked (juce::Button* button)
{
    if (button == &deleteButton)
    {
        if (list->isListedRow (list->getSelectedRow()))
            midiControl.removeAssignment (list->getRows()[list->getSelectedRow()].controller);
    }
    else if (button == &clearButton)
    {
        showAlert (clearAlert, Halvorn::AlertWindow::createYesNo (midiControl.getProductName(),
                                                                  "Do you really want to clear all assignations?", this));
    }
    else if (button == &loadButton)
    {
        FileDialogs::launch (*this, { "Open Midi Control file", {}, wildcard,
                               juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles },
                             [safeThis = juce::Component::SafePointer<MidiControlComponent> (this)] (const FileDialogs::Choice& choice)
                             {
                                 if (safeThis == nullptr)
                                     return;

                                 if (choice.refused)
                                     safeThis->refuseChoice ("loaded");
                                 else if (! choice.files.isEmpty())
                                     safeThis->loadMap (choice.files.getFirst());
                             });
    }
    else if (button == &saveButton)
    {
        FileDialogs::launch (*this, { "Save Midi Control file as", {}, "*" + extension,
                               juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                   | juce::FileBrowserComponent::warnAboutOverwriting },
                             [safeThis = juce::Component::SafePointer<MidiControlComponent> (this)] (const FileDialogs::Choice& choice)
                             {
                                 if (safeThis == nullptr)
                                     return;

                                 if (choice.refused)
                                     safeThis->refuseChoice ("saved");
                                 else if (! choice.files.isEmpty())
                                     safeThis->saveChosenMap (choice.files.getFirst(), choice.warnedAbout);
                             });
    }
    else if (button == &learnButton)
    {
        midiControl.setLearning (learnButton.getToggleState());
    }
}

// A refused file leaves the map as it was; the user is told so rather than left wondering.
void MidiControlComponent::loadMap (const juce::File& file)
{
    if (! midiControl.loadMapFile (file))
        showAlert (errorAlert, Halvorn::AlertWindow::createOk (midiControl.getProductName(),
                                                               "\"" + file.getFileName() + "\" is not a valid Midi Control file.", this));
}

// A link that leads to no file comes here only once the user has been asked about it, so
// the map goes where the link leads, as a preset does.
void MidiControlComponent::saveMap (const juce::File& file)
{
    if (! midiControl.saveMapFile (file, AtomicFileWriter::DanglingLinks::writeThrough))
        showAlert (errorAlert, Halvorn::AlertWindow::createOk (midiControl.getProductName(),
                                                               getWriteFailureText (file), this));
}

// The extension replaces the chosen name's own, so the file written may be another one than
// the chooser warned about: that one is asked about here.
void MidiControlComponent::saveChosenMap (const juce::File& chosen, const juce::File& warnedAbout)
{
    const auto file = fileToWrite (chosen);

    if (needsOverwriteQuestion (file, warnedAbout))
        showAlert (overwriteAlert, Halvorn::AlertWindow::createOverwriteQuestion (midiControl.getProductName(), "map", file, this));
    else
        saveMap (file);
}

void MidiControlComponent::refuseChoice (const juce::String& action)
{
    showAlert (errorAlert, Halvorn::AlertWindow::createOk (midiControl.getProductName(), getRefusalText (action), this));
}

void MidiControlComponent::showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> newAlert)
{
    holder = std::move (newAlert);
    addChildComponent (*holder);
    holder->show();
}

void MidiControlComponent::alertResult (Halvorn::AlertWindow* answered, int result)
{
    if (answered == nullptr || result != Halvorn::AlertWindow::yes)
        return;

    if (answered == clearAlert.get())
        midiControl.clearMap();
    else if (answered == overwriteAlert.get())
        saveMap (FolderChild::fromPath (answered->getUserValue (0).toString()));
}

void MidiControlComponent::stateChanged (DefaultResourceCheckBox* box)
{
    if (box != &checkBox)
        return;

    midiControl.setDefaultMap (checkBox.getCheckBox().getToggleState());
    auto& field = checkBox.getPathComponent();

    // A map is a file: a folder here would empty the map of every new instance.
    if (namesFolder (field.getPath()))
        field.setPath (midiControl.getMapPath(), false);
    else
        midiControl.setMapPath (field.getPath());
}

void MidiControlComponent::resized()
{
    const auto width = getWidth();
    const auto height = getHeight();
    checkBox.setBounds (0, height - 20, width, 20);
    list->setBounds (0, 0, juce::jmax (0, width - 24 - 6), juce::jmax (0, height - 26));
    buttonRow.setTopLeftPosition (width - 24, 0);
}

void MidiControlComponent::childBoundsChanged (juce::Component* child)
{
    if (child == &checkBox)
        resized();
}

// Only the framework's look-and-feel maps the fonts: measuring under another one would tie
// their names to fallback faces in juce::Font's shared cache.
void MidiControlComponent::lookAndFeelChanged()
{
    if (dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()) == nullptr)
        return;

    checkBox.getCheckBox().changeWidthToFitText (20);
    learnButton.changeWidthToFitText (20);
}
