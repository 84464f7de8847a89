#pragma once

#include "ComboBoxEx.h"
#include "ComponentRow.h"
#include "GUIController.h"
#include "ModulationMatrixModel.h"
#include "ModulationSlider.h"
#include "TextInput.h"

class GFXWidgetFactory;

/**
    The skin widget (tag "ModulationMatrix") that edits a modulation matrix: a table of
    rows, each a source, a destination and a bipolar amount with its source's live level,
    and buttons that add, delete and move rows. Up and down move the selection; with
    Ctrl held they move the selected row.

    Without a model it edits its own rows. With one, every edit is written to the model,
    and the model's rowsChanged and valuesChanged broadcasts rebuild the rows and refresh
    the live levels. A product that places the widget fills the destination menus before
    rows are shown; the items' ids are the destination numbers.
*/
class ModulationMatrixComponent  : public GUIController,
                                   public juce::Component,
                                   public juce::Button::Listener,
                                   public juce::ChangeListener
{
public:
    /** One routing of the table: source and destination boxes, amount slider and text. */
    class Row  : public juce::Component,
                 public ComboBoxEx::Listener,
                 public juce::Slider::Listener
    {
    public:
        explicit Row (ModulationMatrixComponent& owner);
        ~Row() override;

        /** Shows the record without telling anybody. */
        void setRowData (const ModulationMatrixModel::Row& data);
        ModulationMatrixModel::Row getRowData() const;

        bool isSelected() const noexcept                { return selected; }
        void setSelected (bool shouldBeSelected);
        int getIndex() const noexcept                   { return index; }
        void setIndex (int newIndex);

        ComboBoxEx sourceBox, destinationBox;
        ModulationSlider amountSlider;
        TextInput amountText { {} };

        //==============================================================================
        void selectionChanged (ComboBoxEx*) override;
        void sliderValueChanged (juce::Slider*) override;

        /** @internal */
        void mouseDown (const juce::MouseEvent&) override;
        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void resized() override;

    private:
        void updateAmountText();

        ModulationMatrixComponent& owner;
        bool selected = false;
        int index = 0;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Row)
    };

    /** The framed, headed and scrolling area that holds the rows. */
    class Table  : public juce::Component
    {
    public:
        /** Holds the rows, each as wide as itself. */
        class ViewportComponent  : public juce::Component
        {
        public:
            void paint (juce::Graphics&) override;
            void resized() override;
        };

        class Shape  : public juce::Component
        {
        public:
            void paint (juce::Graphics&) override;
        };

        class Header  : public juce::Component
        {
        public:
            void paint (juce::Graphics&) override;
        };

        Table();

        juce::Viewport viewport;
        ViewportComponent content;
        Shape shape;
        Header header;

        /** @internal */
        void resized() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Table)
    };

    enum
    {
        rowHeight = 37,
        headerHeight = 19,
        numDestinationMenus = ModulationMatrixModel::numSources + 1
    };

    explicit ModulationMatrixComponent (const juce::String& componentName);
    ~ModulationMatrixComponent() override;

    /** Edits that model from now on (null: the own rows, as they are) and shows its rows.
        A model that goes away first must be detached with setModel (nullptr) before.
    */
    void setModel (ModulationMatrixModel* newModel);
    ModulationMatrixModel* getModel() const noexcept    { return model; }

    /** The menu of destinations offered for a source; any index that is no source gives
        the menu of rows without one.
    */
    PopupMenuEx& getDestinationMenu (int source);
    PopupMenuEx& getSourceMenu() noexcept               { return sourceMenu; }

    int getNumRows() const noexcept                     { return rows.size(); }
    Row* getRow (int index) const noexcept              { return rows[index]; }
    int getSelectedRow() const noexcept                 { return selectedRow; }
    /** Selects the row at that position; a position that is no row clears the selection. */
    void selectRow (int index);

    enum ButtonId { addRowButton, deleteRowButton, moveUpButton, moveDownButton, numButtons };

    /** "Add Row", "Delete Row", "Move Up" and "Move Down". */
    juce::ImageButton& getButton (ButtonId id) noexcept { return buttons[id]; }

    /** Makes the widget for the skin's "ModulationMatrix" elements. */
    static void registerModulationMatrixWidgets (GFXWidgetFactory& factory);

    //==============================================================================
    /** Reads the size (400 x 200 unless the element gives one) and the position. */
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    void buttonClicked (juce::Button*) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    /** A row's source, destination or amount was changed by the user. */
    void rowChanged (Row& row);
    /** Gives the row the source menu and its source's destination menu. */
    void updateRowMenus (Row& row);
    void layoutRows();
    void updateSelection();
    void rebuildRows();
    void refreshSourceValues();

    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    void addRowComponent (const ModulationMatrixModel::Row& data);
    void moveSelectedRow (int delta);
    void detachModel();

    ModulationMatrixModel* model = nullptr;
    int selectedRow = -1;
    ComponentRow buttonRow;
    juce::ImageButton buttons[numButtons];
    juce::OwnedArray<Row> rows;
    Table table;
    PopupMenuEx sourceMenu;
    PopupMenuEx destinationMenus[numDestinationMenus];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulationMatrixComponent)
};
