#include "ModulationMatrixComponent.h"

#include "DefaultLookAndFeel.h"
#include "GFXWidgetFactory.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

namespace
{
    const juce::Colour backgroundColour (0xffc5c5c5);
    const juce::Colour selectedRowColour (0xffd09b59);
    const juce::Colour oddRowColour (0xffa3a3a3);
    const juce::Colour headerColour (0xff5b5b5b);

    float limitToUnit (double value) noexcept
    {
        // Not above -1 includes NaN, which would otherwise reach the live bar.
        return value > -1.0 ? (float) juce::jmin (value, 1.0) : -1.0f;
    }
}

//==============================================================================
ModulationMatrixComponent::Row::Row (ModulationMatrixComponent& ownerToUse)
    : owner (ownerToUse)
{
    amountSlider.setRange (-1.0, 1.0, 0.0001);

    // The amount is shown, never typed: clicks on it select the row beneath.
    juce::XmlElement displayOnly ("TextInput");
    displayOnly.setAttribute ("editable", "no");
    amountText.loadFromXml (&displayOnly, nullptr);
    // A full amount ("+0.5000") needs nearly the whole field; the usual margin would cut it.
    amountText.setMargin (1);

    for (auto* box : { &sourceBox, &destinationBox })
    {
        box->addListener (this);
        box->addMouseListener (this, false);
        addAndMakeVisible (*box);
    }

    amountSlider.addListener (this);
    amountSlider.addMouseListener (this, false);
    addAndMakeVisible (amountSlider);
    addAndMakeVisible (amountText);

    updateAmountText();
}

ModulationMatrixComponent::Row::~Row()
{
    for (auto* box : { &sourceBox, &destinationBox })
    {
        box->removeListener (this);
        box->removeMouseListener (this);
    }

    amountSlider.removeListener (this);
    amountSlider.removeMouseListener (this);
}

void ModulationMatrixComponent::Row::setRowData (const ModulationMatrixModel::Row& data)
{
    sourceBox.setSelectedId (data.source, false);
    destinationBox.setSelectedId (data.destination, false);
    amountSlider.setValue (data.amount, juce::dontSendNotification);
    updateAmountText();
}

ModulationMatrixModel::Row ModulationMatrixComponent::Row::getRowData() const
{
    return { sourceBox.getSelectedId(), destinationBox.getSelectedId(), limitToUnit (amountSlider.getValue()) };
}

void ModulationMatrixComponent::Row::setSelected (bool shouldBeSelected)
{
    if (selected != shouldBeSelected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

void ModulationMatrixComponent::Row::setIndex (int newIndex)
{
    if (index != newIndex)
    {
        index = newIndex;
        repaint();
    }
}

void ModulationMatrixComponent::Row::selectionChanged (ComboBoxEx* box)
{
    if (box == &sourceBox || box == &destinationBox)
        owner.rowChanged (*this);
}

void ModulationMatrixComponent::Row::sliderValueChanged (juce::Slider* slider)
{
    if (slider != &amountSlider)
        return;

    // The text first: telling the owner may rebuild the rows, this one included.
    updateAmountText();
    owner.rowChanged (*this);
}

void ModulationMatrixComponent::Row::updateAmountText()
{
    const auto value = amountSlider.getValue();
    amountText.setText ((value > 0.0 ? "+" : "") + juce::String (value, 4));
}

void ModulationMatrixComponent::Row::mouseDown (const juce::MouseEvent&)
{
    owner.selectRow (owner.rows.indexOf (this));
}

void ModulationMatrixComponent::Row::paint (juce::Graphics& g)
{
    g.fillAll (selected ? selectedRowColour : (index % 2 != 0 ? oddRowColour : backgroundColour));

    g.setColour (juce::Colours::black);
    g.fillRect (0, getHeight() - 1, getWidth(), 1);
}

void ModulationMatrixComponent::Row::resized()
{
    const auto width = getWidth();

    sourceBox.setBounds (4, 8, 150, 20);
    destinationBox.setBounds (158, 8, 150, 20);
    amountText.setBounds (width - 55, 8, 51, 20);
    amountSlider.setBounds (313, 2, width - 371, 30);
}

//==============================================================================
ModulationMatrixComponent::Table::Table()
{
    shape.setInterceptsMouseClicks (false, false);
    viewport.setViewedComponent (&content, false);
    viewport.getVerticalScrollBar().setAutoHide (false);

    addAndMakeVisible (shape);
    addAndMakeVisible (header);
    addAndMakeVisible (viewport);
}

void ModulationMatrixComponent::Table::resized()
{
    shape.setBounds (getLocalBounds());
    header.setBounds (0, 0, getWidth(), headerHeight);
    viewport.setBounds (getLocalBounds().reduced (1).withTrimmedTop (headerHeight));

    const auto& scrollBar = viewport.getVerticalScrollBar();
    content.setSize (scrollBar.isVisible() ? getWidth() - scrollBar.getWidth() - 2 : getWidth(),
                     content.getHeight());
    repaint();
}

void ModulationMatrixComponent::Table::ViewportComponent::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
}

void ModulationMatrixComponent::Table::ViewportComponent::resized()
{
    for (auto* child : getChildren())
        child->setSize (getWidth(), child->getHeight());
}

void ModulationMatrixComponent::Table::Shape::paint (juce::Graphics& g)
{
    fillAndOutlineRoundedRectangle (g, getLocalBounds(), backgroundColour);
}

void ModulationMatrixComponent::Table::Header::paint (juce::Graphics& g)
{
    g.fillAll (headerColour);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Tahoma", "Bold", 13.0f));

    g.drawText ("Source", 5, 0, 150, 20, juce::Justification::centred, false);
    g.drawText ("Destination", 160, 0, 150, 20, juce::Justification::centred, false);
    // The amount column takes the rest of the width, however wide the skin makes the table.
    g.drawText ("Amount", 318, 0, juce::jmax (0, getWidth() - 318), 20, juce::Justification::centred, false);
}

//==============================================================================
ModulationMatrixComponent::ModulationMatrixComponent (const juce::String& componentName)
    : juce::Component (componentName)
{
    static const char* const buttonNames[] = { "Add Row", "Delete Row", "Move Up", "Move Down" };

    for (int i = 0; i < numButtons; ++i)
    {
        buttons[i].setName (buttonNames[i]);
        buttons[i].addListener (this);
        buttonRow.addAndMakeVisible (buttons[i]);
    }

    addAndMakeVisible (buttonRow);
    addAndMakeVisible (table);

    sourceMenu.name = "controllerChoiceMenu";

    for (int source = 0; source < ModulationMatrixModel::numSources; ++source)
        sourceMenu.addItem (source, ModulationMatrixModel::getSourceName (source));

    lookAndFeelChanged();
}

ModulationMatrixComponent::~ModulationMatrixComponent()
{
    detachModel();

    for (auto& button : buttons)
        button.removeListener (this);
}

void ModulationMatrixComponent::setModel (ModulationMatrixModel* newModel)
{
    if (newModel == model)
        return;

    detachModel();
    model = newModel;

    if (model != nullptr)
    {
        model->rowsChanged.addChangeListener (this);
        model->valuesChanged.addChangeListener (this);
        rebuildRows();
    }
}

void ModulationMatrixComponent::detachModel()
{
    if (model == nullptr)
        return;

    model->rowsChanged.removeChangeListener (this);
    model->valuesChanged.removeChangeListener (this);
    model = nullptr;
}

PopupMenuEx& ModulationMatrixComponent::getDestinationMenu (int source)
{
    return destinationMenus[juce::isPositiveAndBelow (source, (int) ModulationMatrixModel::numSources)
                                ? source : ModulationMatrixModel::numSources];
}

void ModulationMatrixComponent::registerModulationMatrixWidgets (GFXWidgetFactory& factory)
{
    factory.registerWidget ("ModulationMatrix", [] (const juce::String& name, SkinSource&)
    {
        return std::make_unique<ModulationMatrixComponent> (name);
    });
}

//==============================================================================
void ModulationMatrixComponent::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    auto width = 400, height = 200;

    if (element != nullptr && XmlHelpers::hasTagName (*element, "ModulationMatrix"))
    {
        if (auto* size = XmlHelpers::getChildByName (*element, "size"))
        {
            width = SkinLimits::readLength (*size, "width");
            height = SkinLimits::readLength (*size, "height");
        }

        if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
            setTopLeftPosition (SkinLimits::readCoordinate (*pos, "left"), SkinLimits::readCoordinate (*pos, "top"));
    }

    setSize (width, height);
    repaint();
}

void ModulationMatrixComponent::buttonClicked (juce::Button* button)
{
    const auto ctrl = juce::ModifierKeys::getCurrentModifiers().isCtrlDown();

    if (button == &buttons[addRowButton])
    {
        addRowComponent ({});

        if (model != nullptr)
            model->addRow();

        layoutRows();
        updateSelection();
    }
    else if (button == &buttons[deleteRowButton])
    {
        if (! juce::isPositiveAndBelow (selectedRow, rows.size()))
            return;

        if (model != nullptr)
            model->removeRow (selectedRow);

        rows.remove (selectedRow);
        layoutRows();
        selectedRow = juce::jmin (selectedRow, rows.size() - 1);
        updateSelection();
    }
    else if (button == &buttons[moveUpButton])
    {
        if (ctrl)
            moveSelectedRow (-1);
        else if (selectedRow > 0)
            selectRow (selectedRow - 1);
    }
    else if (button == &buttons[moveDownButton])
    {
        if (ctrl)
            moveSelectedRow (1);
        else if (selectedRow < rows.size() - 1)
            selectRow (selectedRow + 1);
    }
}

void ModulationMatrixComponent::moveSelectedRow (int delta)
{
    const auto target = selectedRow + delta;

    if (! juce::isPositiveAndBelow (selectedRow, rows.size()) || ! juce::isPositiveAndBelow (target, rows.size()))
        return;

    if (model != nullptr)
        model->moveRow (selectedRow, target);

    rows.move (selectedRow, target);
    layoutRows();
    selectedRow = target;
    updateSelection();
    table.repaint();
}

void ModulationMatrixComponent::changeListenerCallback (juce::ChangeBroadcaster* broadcaster)
{
    if (model == nullptr)
        return;

    if (broadcaster == &model->rowsChanged)
        rebuildRows();
    else if (broadcaster == &model->valuesChanged)
        refreshSourceValues();
}

void ModulationMatrixComponent::rowChanged (Row& row)
{
    const auto index = rows.indexOf (&row);
    const juce::Component::SafePointer<Row> stillThere (&row);

    if (model != nullptr)
        model->setRow (index, row.getRowData());

    // A model listener may have rebuilt the rows meanwhile.
    if (stillThere != nullptr)
        updateRowMenus (row);
}

void ModulationMatrixComponent::updateRowMenus (Row& row)
{
    row.sourceBox.getMenu() = sourceMenu;
    row.sourceBox.updateText();

    row.destinationBox.getMenu() = getDestinationMenu (row.sourceBox.getSelectedId());
    row.destinationBox.updateText();
}

void ModulationMatrixComponent::layoutRows()
{
    auto& content = table.content;
    content.setSize (content.getWidth(), juce::jmax (rows.size() * rowHeight, table.getHeight() - headerHeight - 2));

    for (int i = 0; i < rows.size(); ++i)
    {
        rows[i]->setBounds (0, rowHeight * i, content.getWidth(), rowHeight);
        rows[i]->setIndex (i);
    }
}

void ModulationMatrixComponent::updateSelection()
{
    for (int i = 0; i < rows.size(); ++i)
        rows[i]->setSelected (i == selectedRow);
}

void ModulationMatrixComponent::selectRow (int index)
{
    const auto newSelection = juce::isPositiveAndBelow (index, rows.size()) ? index : -1;

    if (newSelection != selectedRow)
    {
        selectedRow = newSelection;
        updateSelection();
    }
}

void ModulationMatrixComponent::rebuildRows()
{
    rows.clear();

    if (model != nullptr)
    {
        // Counted again at every step: another thread may change the rows meanwhile.
        for (int i = 0; i < model->getNumRows(); ++i)
            addRowComponent (model->getRow (i));
    }

    layoutRows();
    selectRow (-1);
    refreshSourceValues();
}

void ModulationMatrixComponent::refreshSourceValues()
{
    if (model == nullptr)
        return;

    for (auto* row : rows)
    {
        const auto source = row->sourceBox.getSelectedId();

        if (juce::isPositiveAndBelow (source, (int) ModulationMatrixModel::numSources))
            row->amountSlider.setModulationLevel (limitToUnit (model->getSourceValue (source)));
    }
}

void ModulationMatrixComponent::addRowComponent (const ModulationMatrixModel::Row& data)
{
    auto* row = rows.add (new Row (*this));
    row->setRowData (data);
    table.content.addAndMakeVisible (row);
    updateRowMenus (*row);
}

//==============================================================================
void ModulationMatrixComponent::mouseDown (const juce::MouseEvent&)
{
    selectRow (-1);
}

void ModulationMatrixComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        static constexpr int icons[] = { 9, 10, 6, 5 };

        for (int i = 0; i < numButtons; ++i)
            lf->setButtonIcon (buttons[i], icons[i], 0);
    }

    resized();
}

void ModulationMatrixComponent::paint (juce::Graphics& g)
{
    g.setColour (backgroundColour);
    g.fillRoundedRectangle (getLocalBounds().reduced (1).toFloat(), 3.0f);

    g.setColour (juce::Colours::black);
    drawRoundedRectangleOutline (g, getLocalBounds(), 3.0f, 8.0f);
}

void ModulationMatrixComponent::resized()
{
    buttonRow.setTopLeftPosition (5, 4);

    const auto top = buttonRow.getBottom() + 3;
    table.setBounds (8, top, getWidth() - 16, getHeight() - top - 8);
    layoutRows();
}
