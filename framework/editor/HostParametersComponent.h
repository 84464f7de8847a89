#pragma once

#include "AlertWindow.h"
#include "BasePlugin.h"
#include "ComboBoxButton.h"
#include "ComponentRow.h"
#include "DefaultResourceCheckBox.h"
#include "FileType.h"
#include "PopupMenuEx.h"
#include "ToolbarDrawableButton.h"

/**
    The options page "Parameters": puts one plug-in parameter on each of the host's generic
    slots. Every slot is a numbered row with a chooser, in columns that scroll sideways;
    buttons clear, load and save the map, and the "Default map" box names the map file the
    plug-in loads at start-up. The list follows the plug-in's map wherever it is changed.
*/
class HostParametersComponent  : public juce::Component,
                                 public juce::Button::Listener,
                                 public Halvorn::AlertWindow::Caller,
                                 public DefaultResourceCheckBox::Listener,
                                 public FileType
{
public:
    /** The slots as numbered rows in columns; all rows share one parameter menu. */
    class ListComponent  : public juce::Component,
                           public ComboBoxButton::Listener,
                           public juce::ChangeListener
    {
    public:
        explicit ListComponent (BasePlugin& plugin);
        ~ListComponent() override;

        /** Copies the menu that every row chooses from, and refreshes the rows' texts. */
        void setParameterMenu (const PopupMenuEx& newMenu);
        const PopupMenuEx& getParameterMenu() const noexcept    { return menu; }

        void setRowsPerColumn (int rows);
        int getRowsPerColumn() const noexcept                   { return rowsPerColumn; }
        void setVisibleColumns (int columns);
        /** The width the viewport shows; the visible columns share it. */
        void setVisibleWidth (int width);

        int getNumColumns() const noexcept                      { return numColumns; }
        float getColumnWidth() const noexcept                   { return columnWidth; }
        int getNumberColumnWidth() const noexcept               { return numberColumnWidth; }
        int getRowHeight() const noexcept                       { return rowHeight; }
        int getHeaderHeight() const noexcept                    { return headerHeight; }
        int getNumRows() const noexcept                         { return rows.size(); }
        ComboBoxButton* getRow (int slot) const noexcept        { return rows[slot]; }

        /** Places the rows in columns and sizes the list to them. */
        void updateLayout();

        /** @internal */
        void selectionChanged (ComboBoxButton* box) override;
        /** Shows the plug-in's map. @internal */
        void changeListenerCallback (juce::ChangeBroadcaster*) override;
        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void lookAndFeelChanged() override;

    private:
        void measureNumberColumn();

        BasePlugin& plugin;
        juce::OwnedArray<ComboBoxButton> rows;
        int numSlots = 0;
        int visibleColumns = 3;
        int numColumns = 0;
        int rowsPerColumn = 20;
        int headerHeight = 20;
        int rowHeight = 22;
        float columnWidth = 0.0f;
        int numberColumnWidth = 0;
        int visibleWidth = 0;
        int headerTop = 20;
        PopupMenuEx menu;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListComponent)
    };

    /** A rounded frame over the list that masks its corners; clicks pass through it. */
    class Shape  : public juce::Component
    {
    public:
        Shape();
        /** @internal */
        void paint (juce::Graphics&) override;
    };

    explicit HostParametersComponent (BasePlugin& plugin);
    ~HostParametersComponent() override;

    /** Sets the wildcard of the map dialogs and of the default-map path chooser. */
    void setStrings (const juce::String& newWildcard);

    ListComponent& getList() noexcept                           { return *list; }
    juce::Viewport& getViewport() noexcept                      { return viewport; }
    DefaultResourceCheckBox& getDefaultMapBox() noexcept        { return checkBox; }
    juce::Button& getClearButton() noexcept                     { return clearButton; }
    juce::Button& getLoadButton() noexcept                      { return loadButton; }
    juce::Button& getSaveButton() noexcept                      { return saveButton; }
    Halvorn::AlertWindow* getClearAlert() const noexcept        { return clearAlert.get(); }
    Halvorn::AlertWindow* getErrorAlert() const noexcept        { return errorAlert.get(); }
    Halvorn::AlertWindow* getOverwriteAlert() const noexcept    { return overwriteAlert.get(); }

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button*) override;
    /** @internal */
    void alertResult (Halvorn::AlertWindow*, int result) override;
    /** @internal */
    void stateChanged (DefaultResourceCheckBox*) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component*) override;

private:
    void showAlert (std::unique_ptr<Halvorn::AlertWindow>& holder, std::unique_ptr<Halvorn::AlertWindow> newAlert);
    void loadMap (const juce::File& file);
    void saveMap (const juce::File& file);
    void saveChosenMap (const juce::File& chosen, const juce::File& warnedAbout);
    /** Tells the user that what the chooser answered was refused, the map being left as it is. */
    void refuseChoice (const juce::String& action);

    BasePlugin& plugin;
    juce::Viewport viewport;
    std::unique_ptr<ListComponent> list;
    Shape shape;
    ComponentRow buttonRow;
    ToolbarDrawableButton clearButton { "Clear all", 4 }, loadButton { "Load map", 16 }, saveButton { "Save map", 17 };
    DefaultResourceCheckBox checkBox;
    std::unique_ptr<Halvorn::AlertWindow> clearAlert, errorAlert, overwriteAlert;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostParametersComponent)
};
