#include "GUISettingsComponent.h"
#include "BasePluginEditor.h"
#include "CaseKey.h"
#include "FolderListing.h"
#include "SkinSource.h"

namespace
{
    const juce::String skinExtension (".halvornskin");
}

//==============================================================================
GUISettingsComponent::SkinPreview::SkinPreview (juce::Rectangle<int> displayArea)
    : display (displayArea)
{
    setSize (display.getWidth() / 10 + 6, display.getHeight() / 10 + 26);
}

void GUISettingsComponent::SkinPreview::setThumbnail (const juce::Image& image)
{
    if (image != thumbnail)
    {
        thumbnail = image;
        repaint();
    }
}

void GUISettingsComponent::SkinPreview::paint (juce::Graphics& g)
{
    auto imageArea = getLocalBounds();
    const auto caption = imageArea.removeFromBottom (20);

    g.setColour (juce::Colour (0xff000000));
    g.fillRect (imageArea);
    g.setColour (juce::Colour (0xff808080));
    g.drawRect (imageArea.toFloat(), 3.0f);

    imageArea = imageArea.reduced (juce::jmin (3, imageArea.getWidth() / 2), juce::jmin (3, imageArea.getHeight() / 2));

    if (thumbnail.isValid() && ! g.getClipBounds().isEmpty())
        g.drawImageAt (thumbnail, (imageArea.getWidth() - thumbnail.getWidth()) / 2,
                       (imageArea.getHeight() - thumbnail.getHeight()) / 2);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Tahoma", "Regular", 13.0f));
    g.drawText ("Screen resolution: " + juce::String (display.getWidth()) + " x " + juce::String (display.getHeight()),
                caption, juce::Justification::centred, false);
}

//==============================================================================
GUISettingsComponent::GUISettingsComponent (BasePluginEditor& e)
    : editor (e),
      defaultPreview (getMainDisplayArea()),
      currentPreview (getMainDisplayArea())
{
    scanSkins();

    if (! skins.isEmpty())
    {
        recommendedSkin = skins.getReference (0).name;
        const auto userArea = getMainDisplayUserArea();

        // The narrowest skin is the fallback and is never tested: it is the best there is.
        for (int i = skins.size(); --i >= 1;)
        {
            if (userArea.contains (skins.getReference (i).bounds))
            {
                recommendedSkin = skins.getReference (i).name;
                break;
            }
        }
    }

    for (int i = 0; i < skins.size(); ++i)
        skinMenu.addItem (i, getSkinMenuText (skins.getReference (i)));

    buildPanel (defaultPanel, defaultRow, defaultBox, defaultPreview);
    buildPanel (currentPanel, currentRow, currentBox, currentPreview);

    setDefaultSkin (editor.getDefaultSkinName(), false);
    setCurrentSkin (editor.getCurrentSkinName(), false);
}

GUISettingsComponent::~GUISettingsComponent()
{
    defaultBox.removeListener (this);
    currentBox.removeListener (this);
}

juce::Rectangle<int> GUISettingsComponent::getMainDisplayArea()
{
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        return display->totalArea;

    return {};
}

juce::Rectangle<int> GUISettingsComponent::getMainDisplayUserArea()
{
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        return display->userArea;

    return {};
}

void GUISettingsComponent::scanSkins()
{
    const auto folder = editor.getSkinsFolder();

    if (! folder.isDirectory())
        return;

    // A skin whose file name is not UTF-8 text cannot be named: it is passed over.
    for (const auto& entry : FolderListing::list (folder))
    {
        if (entry.isFolder || ! entry.name.has_value() || ! entry.name->endsWith (skinExtension))
            continue;

        const auto name = entry.name->dropLastCharacters (skinExtension.length());
        SkinSource source (editor, name);
        const auto background = source.loadImageFromArchive ("Background.png");
        skins.add ({ name,
                     background.isValid() ? background.getBounds() : juce::Rectangle<int>(),
                     source.loadImageFromArchive ("Thumbnail.png") });
    }

    std::stable_sort (skins.begin(), skins.end(),
                      [] (const SkinEntry& a, const SkinEntry& b) { return a.bounds.getWidth() < b.bounds.getWidth(); });
}

void GUISettingsComponent::buildPanel (PanelComponent& panel, ComponentRow& row, ComboBoxEx& box, SkinPreview& preview)
{
    box.getMenu() = skinMenu;
    box.updateText();
    box.setSize (300, 18);
    box.addListener (this);

    row.vertical = true;
    row.gap = 6;
    row.alignment = 0;
    row.addAndMakeVisible (box);
    row.addAndMakeVisible (preview);
    panel.setContentComponent (&row, true);
    addAndMakeVisible (panel);
}

juce::String GUISettingsComponent::getSkinMenuText (const SkinEntry& entry)
{
    return entry.name + " - " + juce::String (entry.bounds.getWidth()) + " x " + juce::String (entry.bounds.getHeight());
}

int GUISettingsComponent::findSkin (const juce::String& name) const
{
    for (int i = 0; i < skins.size(); ++i)
        if (CaseKey::equal (skins.getReference (i).name, name))
            return i;

    return -1;
}

juce::String GUISettingsComponent::getSkinName (const ComboBoxEx& box) const
{
    const auto id = box.getSelectedId();
    return juce::isPositiveAndBelow (id, skins.size()) ? skins.getReference (id).name : juce::String();
}

juce::String GUISettingsComponent::getDefaultSkin() const   { return getSkinName (defaultBox); }
juce::String GUISettingsComponent::getCurrentSkin() const   { return getSkinName (currentBox); }

void GUISettingsComponent::setDefaultSkin (const juce::String& name, bool notify)
{
    selectSkin (name, notify, defaultBox, defaultPreview, true);
}

void GUISettingsComponent::setCurrentSkin (const juce::String& name, bool notify)
{
    selectSkin (name, notify, currentBox, currentPreview, false);
}

void GUISettingsComponent::selectSkin (const juce::String& name, bool notify, ComboBoxEx& box, SkinPreview& preview, bool isDefault)
{
    const auto index = findSkin (name);

    if (index < 0)
        return;

    if (box.getSelectedId() != index)
    {
        box.setSelectedId (index, false);
        box.updateText();
    }

    preview.setThumbnail (skins.getReference (index).thumbnail);

    if (notify)
    {
        for (int i = listeners.size(); --i >= 0;)
        {
            if (isDefault)
                listeners.getUnchecked (i)->defaultSkinChanged (this);
            else
                listeners.getUnchecked (i)->currentSkinChanged (this);
        }
    }

    if (isDefault)
        defaultSkinSet();
    else
        currentSkinSet();
}

void GUISettingsComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void GUISettingsComponent::comboBoxChanged (ComboBoxEx* box)
{
    if (box == &defaultBox)
        setDefaultSkin (getSkinName (defaultBox), true);
    else if (box == &currentBox)
        setCurrentSkin (getSkinName (currentBox), true);
}

void GUISettingsComponent::resized()
{
    const auto area = getLocalBounds();
    const auto half = area.getWidth() / 2;

    for (auto* panel : { &defaultPanel, &currentPanel })
    {
        auto* content = panel->getContentComponent();
        const auto contentWidth = content != nullptr ? content->getWidth() : 0;
        const auto contentHeight = content != nullptr ? content->getHeight() : 0;
        const auto width = half - 3 >= 0 ? half - 3
                                         : juce::jmax (panel->getFont().getStringWidth (panel->getTitle()) + 20, contentWidth + 16);
        panel->setSize (width, (int) panel->getFont().getHeight() + 16 + contentHeight);
    }

    defaultPanel.setTopLeftPosition (area.getX(), area.getY());
    currentPanel.setTopLeftPosition (half + 3, area.getY());
}

void GUISettingsComponent::childBoundsChanged (juce::Component* child)
{
    if (child == &defaultPanel || child == &currentPanel)
        resized();
}
