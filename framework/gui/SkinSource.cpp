#include "SkinSource.h"

#include "BasePlugin.h"
#include "CaseKey.h"
#include "GFXPanel.h"
#include "ResourceLoading.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

#include <juce_cryptography/juce_cryptography.h>

#include <png.h>
#include <vector>

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
            juce::MemoryBlock document;

            if (readEntry (*inner, "skin.xml", SkinLimits::maxDocumentBytes, document))
                if (auto root = parseSkinDocument (juce::MemoryInputStream (document, false).readEntireStreamAsString()))
                    panel = buildMainPanel (*root);
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
        if (CaseKey::equal (XmlHelpers::getStringAttribute (*element, "name"), "MainPanel"))
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

    juce::MemoryBlock picture;

    if (! readEntry (*inner, fileName, SkinLimits::maxPictureBytes, picture)
         || ! SkinLimits::isPictureWithinLimits (picture.getData(), picture.getSize()))
        return {};

    return decodePicture (picture);
}

juce::Image SkinSource::decodePicture (const juce::MemoryBlock& picture)
{
    // JUCE's PNG loader returns from libpng's error callback instead of jumping out of it, so a
    // damaged picture sends libpng on through freed state. libpng's simplified reader keeps its
    // errors to itself; a picture from an archive is decoded by it alone.
    png_image decoder {};
    decoder.version = PNG_IMAGE_VERSION;

    if (png_image_begin_read_from_memory (&decoder, picture.getData(), picture.getSize()) == 0)
        return {};

    decoder.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels (PNG_IMAGE_SIZE (decoder));

    if (png_image_finish_read (&decoder, nullptr, pixels.data(), 0, nullptr) == 0)
    {
        png_image_free (&decoder);
        return {};
    }

    const auto width = (int) decoder.width, height = (int) decoder.height;
    juce::Image image (juce::Image::ARGB, width, height, false);
    const juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < height; ++y)
    {
        const auto* source = pixels.data() + (size_t) y * (size_t) width * 4;

        for (int x = 0; x < width; ++x, source += 4)
            bitmap.setPixelColour (x, y, juce::Colour (source[0], source[1], source[2], source[3]));
    }

    return image;
}

bool SkinSource::readEntry (juce::ZipFile& zip, const juce::String& entryName, juce::int64 maxBytes,
                            juce::MemoryBlock& result)
{
    auto* entry = zip.getEntry (entryName);

    // The size an entry declares may lie in both ways: the read itself stops past the limit too.
    if (entry == nullptr || entry->uncompressedSize > maxBytes)
        return false;

    std::unique_ptr<juce::InputStream> stream (zip.createStreamForEntry (*entry));

    return stream != nullptr
            && stream->readIntoMemoryBlock (result, (ssize_t) maxBytes + 1) <= (size_t) maxBytes;
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

    // The digest is 32 characters: anything much longer is no digest, and is not read whole.
    juce::MemoryBlock digestText;

    if (! readEntry (*outer, name + ".md5", 64, digestText))
        return;

    const auto expectedDigest = juce::MemoryInputStream (digestText, false).readEntireStreamAsString();

    auto* skinEntry = outer->getEntry (name + ".skin");

    if (skinEntry == nullptr || skinEntry->uncompressedSize > SkinLimits::maxArchiveBytes)
        return;

    entryStream.reset (outer->createStreamForEntry (*skinEntry));

    if (entryStream == nullptr)
        return;

    const auto digest = juce::MD5 (*entryStream, SkinLimits::maxArchiveBytes).toHexString();

    if (CaseKey::equal (digest, expectedDigest) && entryStream->setPosition (0))
        inner = std::make_unique<juce::ZipFile> (entryStream.get(), false);
}

void SkinSource::closeArchive()
{
    inner.reset();
    entryStream.reset();
    outer.reset();
}
