#include "HostParametersComponent.h"
#include "FileDialogs.h"
#include "FolderChild.h"

namespace
{
    juce::Font headerFont()   { return juce::Font ("Tahoma", 13.0f, juce::Font::bold); }
    juce::Font cellFont()     { return juce::Font ("Tahoma", 13.0f, juce::Font::plain); }
}

//==============================================================================
HostParametersComponent::ListComponent::ListComponent (BasePlugin& p)
    : plugin (p)
{
    numSlots = plugin.getNumHostParameters();
    measureNumberColumn();
    plugin.hostMapChangeBroadcaster.addChangeListener (this);

    setVisibleColumns (3);
    setRowsPerColumn (20);

    for (int slot = 0; slot < numSlots; ++slot)
    {
        auto* row = rows.add (std::make_unique<ComboBoxButton>());
        row->addListener (this);
        row->setName ("HPComboBox" + juce::String (slot + 1));
        row->setSharedMenu (&menu);
        addAndMakeVisible (row);
    }

    updateLayout();
    changeListenerCallback (nullptr);
}

HostParametersComponent::ListComponent::~ListComponent()
{
    plugin.hostMapChangeBroadcaster.removeChangeListener (this);

    for (int i = rows.size(); --i >= 0;)
    {
        rows[i]->removeListener (this);
        rows.remove (i);
    }
}

// Measured with the typeface this component's look-and-feel picks, never through juce::Font's
// shared cache: the page may be built before the editor makes its look-and-feel the default,
// and a lookup then would tie "Tahoma" bold to a fallback face for the whole process.
void HostParametersComponent::ListComponent::measureNumberColumn()
{
    const auto font = headerFont();
    const auto measuring = juce::Font (getLookAndFeel().getTypefaceForFont (font)).withHeight (font.getHeight());
    numberColumnWidth = juce::roundToInt (juce::jmax (measuring.getStringWidthFloat ("999"), measuring.getStringWidthFloat ("No."))) + 8;
}

void HostParametersComponent::ListComponent::lookAndFeelChanged()
{
    measureNumberColumn();
    updateLayout();
}

void HostParametersComponent::ListComponent::setParameterMenu (const PopupMenuEx& newMenu)
{
    menu = newMenu;

    for (auto* row : rows)
    {
        if (&row->getMenu() != &menu)
            row->setSharedMenu (&menu);

        row->updateText();
    }
}

void HostParametersComponent::ListComponent::setRowsPerColumn (int newRows)
{
    newRows = juce::jmax (1, newRows);

    if (rowsPerColumn != newRows)
    {
        rowsPerColumn = newRows;
        updateLayout();
    }
}

void HostParametersComponent::ListComponent::setVisibleColumns (int columns)
{
    columns = juce::jmax (1, columns);

    if (visibleColumns != columns)
    {
        visibleColumns = columns;
        updateLayout();
    }
}

void HostParametersComponent::ListComponent::setVisibleWidth (int width)
{
    if (visibleWidth != width)
    {
        visibleWidth = width;
        updateLayout();
    }
}

void HostParametersComponent::ListComponent::updateLayout()
{
    headerTop = headerHeight;
    columnWidth = (float) visibleWidth / (float) visibleColumns;
    numColumns = (numSlots + rowsPerColumn - 1) / rowsPerColumn;

    for (int column = 0; column < numColumns; ++column)
    {
        for (int row = 0; row < rowsPerColumn; ++row)
        {
            const auto index = column * rowsPerColumn + row;

            if (auto* box = rows[index])
                box->setBounds (numberColumnWidth + (int) ((float) column * columnWidth) + 6,
                                rowHeight * row + headerTop + 1,
                                (int) columnWidth - numberColumnWidth - 12,
                                rowHeight - 2);
        }
    }

    setSize ((int) std::floor ((float) numColumns * columnWidth), rowHeight * rowsPerColumn + headerHeight);
    repaint();
}

void HostParametersComponent::ListComponent::selectionChanged (ComboBoxButton* box)
{
    const auto slot = rows.indexOf (box);

    if (slot >= 0)
        plugin.assignHostParameter (slot, plugin.parameterManager.getParameter (box->getSelectedId()));
}

void HostParametersComponent::ListComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    for (int slot = 0; slot < rows.size(); ++slot)
    {
        auto* parameter = plugin.getHostSlotParameter (slot);
        const auto id = parameter != nullptr ? parameter->getIndex() : -1;
        auto* row = rows[slot];

        if (row->getSelectedId() != id)
        {
            row->setSelectedId (id, false);
            row->updateText();
        }
    }
}

void HostParametersComponent::ListComponent::paint (juce::Graphics& g)
{
    const auto width = getWidth();
    const auto height = getHeight();
    const auto columnPixels = (int) columnWidth;

    g.setColour (juce::Colour (0xff6e6e6e));
    g.fillRect (0, 0, width, headerHeight);
    g.setColour (juce::Colour (0xffe3e3e3));
    g.fillRect (0, headerHeight, width, height - headerHeight);

    for (int column = 0; column < numColumns; ++column)
    {
        const auto x = (int) ((float) column * columnWidth);
        g.setColour (juce::Colour (0xff5b5b5b));
        g.fillRect (x, 0, numberColumnWidth, headerHeight);
        g.setColour (juce::Colour (0xffbfbfbf));
        g.fillRect (x, headerHeight, numberColumnWidth, height - headerHeight);

        g.setColour (juce::Colours::white);
        g.setFont (headerFont());
        g.drawText ("No.", x, 0, numberColumnWidth, headerHeight, juce::Justification::centred, false);
        g.drawText ("Parameter", x + numberColumnWidth + 5, 0, columnPixels - numberColumnWidth - 10, headerHeight,
                    juce::Justification::centredLeft, false);
    }

    // The last column may hold fewer slots than the others: blank its unused rows.
    if (numColumns * rowsPerColumn > numSlots)
    {
        const auto y = (numSlots % rowsPerColumn) * rowHeight + headerTop + 1;
        g.setColour (juce::Colour (0xffe3e3e3));
        g.fillRect ((int) ((float) (numColumns - 1) * columnWidth), y, columnPixels, height - y);
    }

    g.setColour (juce::Colours::black);
    g.setFont (cellFont());

    for (int index = 0; index < numSlots; ++index)
    {
        const auto column = index / rowsPerColumn;
        const auto row = index % rowsPerColumn;
        g.drawText (juce::String (index + 1), (int) ((float) column * columnWidth) + 4, row * rowHeight + headerTop,
                    numberColumnWidth - 8, rowHeight, juce::Justification::centred, false);
    }
}

//==============================================================================
HostParametersComponent::Shape::Shape()
{
    setInterceptsMouseClicks (false, false);
}

void HostParametersComponent::Shape::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();

    juce::Path mask;
    mask.addRectangle (bounds);
    mask.addRoundedRectangle (bounds.reduced (1.0f), 6.0f);
    mask.setUsingNonZeroWinding (false);
    g.setColour (juce::Colour (0xffc5c5c5));
    g.fillPath (mask);

    g.setColour (juce::Colours::white);
    g.drawRoundedRectangle (bounds.reduced (0.5f), 5.5f, 1.0f);
}

//==============================================================================
HostParametersComponent::HostParametersComponent (BasePlugin& p)
    : plugin (p),
      list (std::make_unique<ListComponent> (p))
{
    for (auto* button : { &clearButton, &loadButton, &saveButton })
    {
        button->setTooltip (button->getName());
        button->setSize (24, 24);
        button->addListener (this);
    }

    buttonRow.vertical = true;
    buttonRow.alignment = 2;
    buttonRow.gap = 0;
    addAndMakeVisible (buttonRow);

    for (auto* button : { &clearButton, &loadButton, &saveButton })
        buttonRow.addAndMakeVisible (button);

    viewport.setViewedComponent (list.get(), false);
    viewport.setScrollBarsShown (false, true, false, false);
    addAndMakeVisible (viewport, 0);
    addAndMakeVisible (shape);

    checkBox.addListener (this);
    auto& tick = checkBox.getCheckBox();
    // The default is a map file; a folder would leave every new instance with an empty map.
    checkBox.getPathComponent().choosesFiles = true;
    checkBox.getPathComponent().onChoiceRefused = [this] { refuseChoice ("chosen"); };
    tick.setToggleState (plugin.hostMapPath.isNotEmpty(), juce::dontSendNotification);
    checkBox.getPathComponent().setPath (plugin.hostMapPath, false);
    checkBox.updateState();
    tick.setButtonText ("Default map");
    tick.setToggleState (plugin.hostMapDefault, juce::sendNotificationSync);
    addAndMakeVisible (checkBox);

    list->setRowsPerColumn (10);
    resized();
}

HostParametersComponent::~HostParametersComponent()
{
    for (auto* button : { &clearButton, &loadButton, &saveButton })
        button->removeListener (this);

    checkBox.removeListener (this);
    clearAlert.reset();
    errorAlert.reset();
    overwriteAlert.reset();
}

void HostParametersComponent::setStrings (const juce::String& newWildcard)
{
    wildcard = newWildcard;
    checkBox.getPathComponent().filePatterns = newWildcard;
}

void HostParametersComponent::buttonClicked (juce::Button* button)
{
    if (button == &clearButton)
    {
        showAlert (clearAlert, Halvorn::AlertWindow::createYesNo (plugin.getProductName(),
                                                                  "Do you really want to clear all assignations?", this));
    }
    else if (button == &loadButton)
    {
        FileDialogs::launch (*this, { "Load Host Parameters Map file", {}, wildcard,
                               juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles },
                             [safeThis = juce::Component::SafePointer<HostParametersComponent> (this)] (const FileDialogs::Choice& choice)
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
        FileDialogs::launch (*this, { "Save Host Parameters Map file as", {}, "*" + extension,
                               juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                   | juce::FileBrowserComponent::warnAboutOverwriting },
                             [safeThis = juce::Component::SafePointer<HostParametersComponent> (this)] (const FileDialogs::Choice& choice)
                             {
                                 if (safeThis == nullptr)
                                     return;

                                 if (choice.refused)
                                     safeThis->refuseChoice ("saved");
                                 else if (! choice.files.isEmpty())
                                     safeThis->saveChosenMap (choice.files.getFirst(), choice.warnedAbout);
                             });
    }
}

// The plug-in keeps its map when a file is refused; the user is told so rather than left
// wondering why nothing changed.
void HostParametersComponent::loadMap (const juce::File& file)
{
    if (! plugin.loadHostParametersMapFile (file))
        showAlert (errorAlert, Halvorn::AlertWindow::createOk (plugin.getProductName(),
                                                               "\"" + file.getFileName() + "\" is not a valid host parameters map file.", this));
}

// A link that leads to no file comes here only once the user has been asked about it, so
// the map goes where the link leads, as a preset does.
void HostParametersComponent::saveMap (const juce::File& file)
{
    if (! plugin.saveHostParametersMapFile (file, AtomicFileWriter::DanglingLinks::writeThrough))
        showAlert (errorAlert, Halvorn::AlertWindow::createOk (plugin.getProductName(),
                                                               getWriteFailureText (file), this));
}

// The extension replaces the chosen name's own, so the file written may be another one than
// the chooser warned about: that one is asked about here.
void HostParametersComponent::saveChosenMap (const juce::File& chosen, const juce::File& warnedAbout)
{
    const auto file = fileToWrite (chosen);

    if (needsOverwriteQuestion (file, warnedAbout))
        showAlert (overwriteAlert, Halvorn::AlertWindow::createOverwriteQuestion (plugin.getProductName(), "map", file, this));
    else
        saveMap (file);
}

void HostParametersComponent::refuseChoice (const juce::String& action)
{
    showAlert (errorAlert, Halvorn::AlertWindow::createOk (plugin.getProductName(), getRefusalText (action), this));
}

void HostParametersComponent::showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> newAlert)
{
    holder = std::move (newAlert);
    addChildComponent (*holder);
    holder->show();
}

void HostParametersComponent::alertResult (Halvorn::AlertWindow* answered, int result)
{
    if (answered == nullptr || result != Halvorn::AlertWindow::yes)
        return;

    if (answered == clearAlert.get())
        plugin.clearHostParametersMap();
    else if (answered == overwriteAlert.get())
        saveMap (FolderChild::fromPath (answered->getUserValue (0).toString()));
}

void HostParametersComponent::stateChanged (DefaultResourceCheckBox* box)
{
    if (box != &checkBox)
        return;

    plugin.hostMapDefault = checkBox.getCheckBox().getToggleState();
    auto& field = checkBox.getPathComponent();

    // A map is a file: a folder here would empty the map of every new instance.
    if (namesFolder (field.getPath()))
        field.setPath (plugin.hostMapPath, false);
    else
        plugin.hostMapPath = field.getPath();
}

void HostParametersComponent::resized()
{
    const auto width = getWidth();
    buttonRow.setTopLeftPosition (width - 24, 0);

    const auto listHeight = list->getRowHeight() * list->getRowsPerColumn() + list->getHeaderHeight();
    const auto scrollBarHeight = viewport.getScrollBarThickness();
    const auto innerWidth = juce::jmax (width - 31, 0);

    shape.setBounds (0, 0, width - 29, listHeight + scrollBarHeight + 2);
    list->setVisibleWidth (innerWidth);
    viewport.setBounds (1, 1, innerWidth, juce::jmax (listHeight + scrollBarHeight, 0));
    checkBox.setBounds (0, viewport.getBottom() + 9, width, 20);
}

void HostParametersComponent::childBoundsChanged (juce::Component* child)
{
    if (child == &buttonRow || child == &checkBox)
        resized();
}
