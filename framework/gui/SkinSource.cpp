#include "SkinSource.h"

#include "BasePlugin.h"
#include "GFXPanel.h"
#include "ResourceLoading.h"
#include "XmlHelpers.h"

#include <juce_cryptography/juce_cryptography.h>

SkinSource::SkinSource (Owner& skinOwner, const juce::String& skinName)
    : owner (skinOwner), name (skinName)
{
}

SkinSource::~SkinSource()
{
    closeArchive();
}

//==============================================================================
std::unique_ptr<GFXPanel> SkinSource::createMainPanel()
{
    std::unique_ptr<GFXPanel> panel;

    if (name.isEmpty())
    {
        mode = builtIn;

        if (auto root = parseSkinDocument (loadXmlFromResource ("skin.xml")))
            panel = buildMainPanel (*root);
    }
    else
    {
        mode = archive;
        openArchive();

        if (inner != nullptr)
        {
            if (auto* entry = inner->getEntry ("skin.xml"))
            {
                std::unique_ptr<juce::InputStream> stream (inner->createStreamForEntry (*entry));

                if (stream != nullptr)
                    if (auto root = parseSkinDocument (stream->readEntireStreamAsString()))
                        panel = buildMainPanel (*root);
            }
        }
    }

    mode = idle;
    return panel;
}

std::unique_ptr<juce::XmlElement> SkinSource::parseSkinDocument (const juce::String& text)
{
    // Skin archives come from outside: read them with the same checks as every other document.
    return XmlHelpers::parseUntrusted (text);
}

std::unique_ptr<GFXPanel> SkinSource::buildMainPanel (juce::XmlElement& root)
{
    if (! getPlugin().isValidXml (&root, "PluginEditor"))
        return {};

    for (auto* element : XmlHelpers::getChildrenWithTagName (root, "Panel"))
    {
        if (XmlHelpers::getStringAttribute (*element, "name").equalsIgnoreCase ("MainPanel"))
        {
            auto panel = std::make_unique<GFXPanel> ("MainEditorPanel");
            panel->loadFromXml (element, this);
            return panel;
        }
    }

    return {};
}

//==============================================================================
juce::Image SkinSource::loadImage (const juce::String& fileName)
{
    if (mode == archive)
        return loadImageFromArchive (fileName);

    return loadImageFromResource (fileName);
}

juce::Image SkinSource::loadImageFromArchive (const juce::String& fileName)
{
    if (inner == nullptr)
        openArchive();

    if (inner == nullptr)
        return {};

    auto* entry = inner->getEntry (fileName);

    if (entry == nullptr)
        return {};

    std::unique_ptr<juce::InputStream> stream (inner->createStreamForEntry (*entry));

    if (stream == nullptr)
        return {};

    return juce::ImageFileFormat::loadFrom (*stream);
}

bool SkinSource::isValidSkin (Owner& skinOwner, const juce::String& skinName)
{
    if (skinName.isEmpty())
        return false;

    SkinSource source (skinOwner, skinName);
    source.openArchive();
    return source.inner != nullptr;
}

//==============================================================================
void SkinSource::openArchive()
{
    const auto file = owner.getSkinFile (name);

    if (! file.existsAsFile())
        return;

    // The inner reader reads the entry stream, which the outer archive made: a reader
    // left over from an earlier opening must go before what it reads.
    closeArchive();
    outer = std::make_unique<juce::ZipFile> (file);

    auto* digestEntry = outer->getEntry (name + ".md5");

    if (digestEntry == nullptr)
        return;

    juce::String expectedDigest;

    {
        std::unique_ptr<juce::InputStream> digestStream (outer->createStreamForEntry (*digestEntry));

        if (digestStream == nullptr)
            return;

        expectedDigest = digestStream->readEntireStreamAsString();
    }

    auto* skinEntry = outer->getEntry (name + ".skin");

    if (skinEntry == nullptr)
        return;

    entryStream.reset (outer->createStreamForEntry (*skinEntry));

    if (entryStream == nullptr)
        return;

    const auto digest = juce::MD5 (*entryStream).toHexString();

    if (digest.equalsIgnoreCase (expectedDigest) && entryStream->setPosition (0))
        inner = std::make_unique<juce::ZipFile> (entryStream.get(), false);
}

void SkinSource::closeArchive()
{
    inner.reset();
    entryStream.reset();
    outer.reset();
}
