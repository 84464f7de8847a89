#pragma once

#include "AlertWindow.h"
#include "ComponentRow.h"
#include "DefaultResourceCheckBox.h"
#include "FileType.h"
#include "MidiControl.h"
#include "ToolbarDrawableButton.h"

/**
    The options page "Midi Control": the MIDI learn map as a list of assignments
    (controller and parameter) in columns that scroll sideways, with buttons to delete the
    selected assignment, clear, load and save the map, and the "Default map" box naming the
    map file loaded at start-up. While MIDI learn is on, the assignment being learnt is
    selected, and clicking an assignment offers its parameter to learn again.
*/
class MidiControlComponent  : public juce::Component,
                              public juce::Button::Listener,
                              public DefaultResourceCheckBox::Listener,
                              public MidiControl::Listener,
                              public Halvorn::AlertWindow::Caller,
                              public FileType
{
public:
    /** The self-painted table of assignments with its scroll bar. */
    class ListComponent  : public juce::Component,
                           public juce::ScrollBar::Listener
    {
    public:
        struct Row
        {
            int controller = -1;
            juce::String parameterName;
        };

        ListComponent (MidiControlComponent& owner, MidiControl& midiControl);
        ~ListComponent() override;

        /** Reads the assignments again, in controller order, and drops the selection. */
        void rebuild();
        void updateLayout();
        /** Selects a row (-1: none), scrolling its column into view. */
        void selectRow (int index);
        void selectController (int controller);
        void setVisibleColumns (int columns);

        int getSelectedRow() const noexcept                 { return selectedRow; }
        bool isListedRow (int index) const noexcept         { return juce::isPositiveAndBelow (index, rows.size()); }
        const juce::Array<Row>& getRows() const noexcept    { return rows; }
        int getVisibleRows() const noexcept                 { return visibleRows; }
        int getNumColumns() const noexcept                  { return numColumns; }
        int getColumnWidth() const noexcept                 { return columnWidth; }
        juce::Rectangle<int> getArea() const noexcept       { return area; }
        juce::ScrollBar& getScrollBar() noexcept            { return scrollBar; }

        /** @internal */
        void scrollBarMoved (juce::ScrollBar*, double newRangeStart) override;
        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent&) override;
        /** @internal */
        void resized() override;
        /** @internal */
        void lookAndFeelChanged() override;

    private:
        MidiControlComponent& owner;
        MidiControl& midiControl;
        juce::ScrollBar scrollBar { false };
        int visibleColumns = 1;
        juce::Array<Row> rows;
        int selectedRow = -1;
        juce::Rectangle<int> area;
        int scrollOffset = 0;
        int innerY = 0, innerWidth = 0, innerHeight = 0;
        int headerHeight = 19, rowHeight = 20;
        int visibleRows = 1, numColumns = 1, columnWidth = 1, ccColumnWidth = 0, parameterColumnWidth = 0;
        juce::Font headerFont, cellFont;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListComponent)
    };

    MidiControlComponent (MidiControl* midiControl, const juce::String& extension, const juce::String& wildcard);
    ~MidiControlComponent() override;

    /** Sets the wildcard of the map dialogs and of the default-map path chooser. */
    void setWildcard (const juce::String& newWildcard);

    ListComponent& getList() noexcept                           { return *list; }
    DefaultResourceCheckBox& getDefaultMapBox() noexcept        { return checkBox; }
    juce::Button& getDeleteButton() noexcept                    { return deleteButton; }
    juce::Button& getClearButton() noexcept                     { return clearButton; }
    juce::Button& getLoadButton() noexcept                      { return loadButton; }
    juce::Button& getSaveButton() noexcept                      { return saveButton; }
    /** Not placed by the page: a product may show it where it likes. */
    juce::TextButton& getLearnButton() noexcept                 { return learnButton; }
    Halvorn::AlertWindow* getClearAlert() const noexcept        { return clearAlert.get(); }
    Halvorn::AlertWindow* getErrorAlert() const noexcept        { return errorAlert.get(); }
    Halvorn::AlertWindow* getOverwriteAlert() const noexcept    { return overwriteAlert.get(); }

    //==============================================================================
    /** @internal */
    void mapChanged (MidiControl*) override;
    /** @internal */
    void learnStateChanged (MidiControl*) override;
    /** @internal */
    void buttonClicked (juce::Button*) override;
    /** @internal */
    void stateChanged (DefaultResourceCheckBox*) override;
    /** @internal */
    void alertResult (Halvorn::AlertWindow*, int result) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component*) override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    friend class ListComponent;
    void updateDeleteButton();
    void showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> newAlert);
    void loadMap (const juce::File& file);
    void saveMap (const juce::File& file);
    void saveChosenMap (const juce::File& chosen, const juce::File& warnedAbout);
    /** Tells the user that what the chooser answered was refused, the map being left as it is. */
    void refuseChoice (const juce::String& action);

    MidiControl& midiControl;
    DefaultResourceCheckBox checkBox;
    std::unique_ptr<ListComponent> list;
    ComponentRow buttonRow;
    ToolbarDrawableButton deleteButton { "Delete Assign", 4 }, clearButton { "Clear All", 12 },
                          loadButton { "Load Map", 16 }, saveButton { "Save Map", 17 };
    juce::TextButton learnButton { "Midi Learn" };
    std::unique_ptr<Halvorn::AlertWindow> clearAlert, errorAlert, overwriteAlert;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiControlComponent)
};
