#include "BasePluginEditor.h"

#include "BasePlugin.h"
#include "XmlHelpers.h"

BasePluginEditor::BasePluginEditor (BasePlugin& p)
    : plugin (p)
{
    setOpaque (true);
    setEditorSize (800, 600);
}

BasePluginEditor::~BasePluginEditor()
{
    stopTimer();
}

void BasePluginEditor::initialise()
{
    const auto settingsFile = plugin.getSettingsFile();

    if (! settingsFile.existsAsFile())
        return;

    const auto settings = XmlHelpers::parseUntrusted (settingsFile);

    if (plugin.isValidSettingsXml (settings.get()))
        if (auto* element = XmlHelpers::getChildByName (*settings, getSettingsTagName()))
            loadSettingsXml (*element);
}

void BasePluginEditor::setEditorSize (int width, int newContentHeight)
{
    contentHeight = newContentHeight;

    // The stand-in has no status bar yet, so the content is the whole editor.
    setSize (width, contentHeight);

    if (auto* parent = getParentComponent())
        parent->setSize (getWidth(), getHeight());
}

juce::File BasePluginEditor::getSkinsFolder() const
{
    return plugin.getCommonDataFolder().getChildFile ("Skins");
}

juce::File BasePluginEditor::getSkinFile (const juce::String& name) const
{
    // Appended, not swapped in: a skin named "Night.Blue" keeps its whole name.
    return getSkinsFolder().getChildFile (name + ".halvornskin");
}

//==============================================================================
juce::String BasePluginEditor::getSettingsTagName() const    { return "Editor"; }
juce::String BasePluginEditor::getStateTagName() const       { return "Editor"; }

bool BasePluginEditor::isSettingsXml (const juce::XmlElement& element) const
{
    return XmlHelpers::hasTagName (element, getSettingsTagName());
}

bool BasePluginEditor::isStateXml (const juce::XmlElement& element) const
{
    return XmlHelpers::hasTagName (element, getStateTagName());
}

std::unique_ptr<juce::XmlElement> BasePluginEditor::createSettingsXml() const
{
    auto element = std::make_unique<juce::XmlElement> (getSettingsTagName());

    if (skinChoiceEnabled)
        element->createNewChildElement ("Skin")->setAttribute ("name", defaultSkinName);

    return element;
}

void BasePluginEditor::loadSettingsXml (const juce::XmlElement& element)
{
    if (! isSettingsXml (element))
        return;

    if (auto* skin = XmlHelpers::getChildByName (element, "Skin"))
        defaultSkinName = XmlHelpers::getStringAttribute (*skin, "name");
}

std::unique_ptr<juce::XmlElement> BasePluginEditor::createStateXml() const
{
    auto element = std::make_unique<juce::XmlElement> (getStateTagName());

    if (skinChoiceEnabled)
        element->createNewChildElement ("Skin")->setAttribute ("name", currentSkinName);

    return element;
}

void BasePluginEditor::loadStateXml (const juce::XmlElement& element)
{
    // Only a skinned editor with skin choice on has anything to restore.
    juce::ignoreUnused (element);
}

//==============================================================================
void BasePluginEditor::paint (juce::Graphics& g)
{
    // The picture that a skin normally covers.
    const auto height = getHeight();

    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Tahoma", 80.0f, juce::Font::bold));
    g.drawText (plugin.getProductName(), 0, 0, getWidth(), height, juce::Justification::centred);
    g.setFont (juce::Font ("Tahoma", 20.0f, juce::Font::bold));
    g.drawText (plugin.getDescription(), 0, 45, getWidth(), height, juce::Justification::centred);
    g.setFont (juce::Font ("Tahoma", 16.0f, juce::Font::plain));
    g.drawText ("Halvorn", 0, 0, getWidth(), height - 10, juce::Justification::centredBottom);
}

void BasePluginEditor::timerCallback()
{
    if (isVisible())
        timerTick();
}
