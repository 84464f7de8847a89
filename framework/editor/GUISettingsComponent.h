#pragma once

#include "ComboBoxEx.h"
#include "ComponentRow.h"
#include "PanelComponent.h"

class BasePluginEditor;

/**
    The options page "GUI": lists the skin archives of the skins folder and lets the user
    choose the default skin (used when an editor opens) and the current one (shown now),
    each with a preview. It recommends the widest skin that fits the main display.
    Built once: skins added later are seen when the page is built again.
*/
class GUISettingsComponent  : public juce::Component,
                              public ComboBoxEx::Listener
{
public:
    /** Told when the user picks a skin. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void defaultSkinChanged (GUISettingsComponent*) {}
        virtual void currentSkinChanged (GUISettingsComponent*) {}
    };

    /** A skin's thumbnail over a caption with the main display's resolution. */
    class SkinPreview  : public juce::Component
    {
    public:
        explicit SkinPreview (juce::Rectangle<int> displayArea);

        /** Repaints only when the picture changes. */
        void setThumbnail (const juce::Image& image);
        const juce::Image& getThumbnail() const noexcept    { return thumbnail; }

        /** @internal */
        void paint (juce::Graphics&) override;

    private:
        juce::Image thumbnail;
        juce::Rectangle<int> display;
    };

    struct SkinEntry
    {
        juce::String name;
        juce::Rectangle<int> bounds;
        juce::Image thumbnail;
    };

    explicit GUISettingsComponent (BasePluginEditor& editor);
    ~GUISettingsComponent() override;

    /** Selects the skin of that name (ignoring case); an unknown name changes nothing. */
    void setDefaultSkin (const juce::String& name, bool notify);
    void setCurrentSkin (const juce::String& name, bool notify);
    juce::String getDefaultSkin() const;
    juce::String getCurrentSkin() const;
    const juce::String& getRecommendedSkin() const noexcept     { return recommendedSkin; }

    /** The index of the first skin of that name, ignoring case; -1 when none. */
    int findSkin (const juce::String& name) const;
    static juce::String getSkinMenuText (const SkinEntry& entry);
    const juce::Array<SkinEntry>& getSkins() const noexcept     { return skins; }

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);

    ComboBoxEx& getDefaultComboBox() noexcept                   { return defaultBox; }
    ComboBoxEx& getCurrentComboBox() noexcept                   { return currentBox; }
    SkinPreview& getDefaultPreview() noexcept                   { return defaultPreview; }
    SkinPreview& getCurrentPreview() noexcept                   { return currentPreview; }

    /** The main display's user area, or an empty one where there is no display. */
    static juce::Rectangle<int> getMainDisplayUserArea();
    static juce::Rectangle<int> getMainDisplayArea();

    //==============================================================================
    /** Runs after a default skin was selected; nothing here. */
    virtual void defaultSkinSet() {}
    /** Runs after a current skin was selected; nothing here. */
    virtual void currentSkinSet() {}

    void comboBoxChanged (ComboBoxEx* box);
    /** @internal */
    void selectionChanged (ComboBoxEx* box) override      { comboBoxChanged (box); }
    /** @internal */
    void resized() override;
    /** A panel that fitted itself to its content (on a look-and-feel change) is widened again. @internal */
    void childBoundsChanged (juce::Component* child) override;

private:
    void scanSkins();
    void buildPanel (PanelComponent& panel, ComponentRow& row, ComboBoxEx& box, SkinPreview& preview);
    void selectSkin (const juce::String& name, bool notify, ComboBoxEx& box, SkinPreview& preview, bool isDefault);
    juce::String getSkinName (const ComboBoxEx& box) const;

    BasePluginEditor& editor;
    PanelComponent defaultPanel { "Default skin" }, currentPanel { "Current skin" };
    ComponentRow defaultRow, currentRow;
    ComboBoxEx defaultBox, currentBox;
    SkinPreview defaultPreview, currentPreview;
    PopupMenuEx skinMenu;
    juce::Array<SkinEntry> skins;
    juce::String recommendedSkin;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GUISettingsComponent)
};
