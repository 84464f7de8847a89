#include "SkinWriter.h"

#include <iostream>
#include <stdexcept>

SkinWriter::SkinWriter (SkinBuilder& b)
    : builder (b)
{
    auto& main = builder.getMainPanel();
    renderPanel (main, {}, main.bounds);
    collectPictures (main);
}

void SkinWriter::collectPictures (const SkinBuilder::Element& element)
{
    // Only pictures that the document names become files: a widget whose look was
    // replaced after it was placed leaves its first picture behind.
    auto take = [this] (const juce::String& fileName)
    {
        if (images.find (fileName) != images.end())
            return;

        const auto& painted = builder.getImages();
        const auto found = painted.find (fileName);

        if (found == painted.end())
            throw std::runtime_error (("no picture painted for " + fileName).toStdString());

        images[fileName] = found->second;
    };

    if (element.resource.isNotEmpty() && ! element.isPanel())
        take (element.resource);

    for (const auto& digit : element.digitResources)
        take (digit);

    for (const auto& child : element.children)
        collectPictures (*child);
}

void SkinWriter::renderPanel (const SkinBuilder::Element& panel, const juce::Image& parentPicture,
                              juce::Rectangle<int> parentBounds)
{
    juce::Image picture (juce::Image::ARGB, panel.bounds.getWidth(), panel.bounds.getHeight(), true);

    {
        juce::Graphics g (picture);

        if (parentPicture.isValid())
            g.drawImageAt (parentPicture, parentBounds.getX() - panel.bounds.getX(), parentBounds.getY() - panel.bounds.getY());

        g.setOrigin (-panel.bounds.getPosition());

        for (const auto& decoration : panel.decorations)
            paintDecoration (g, decoration);
    }

    images[panel.resource] = picture;

    for (const auto& child : panel.children)
        if (child->isPanel())
            renderPanel (*child, picture, panel.bounds);
}

void SkinWriter::paintDecoration (juce::Graphics& g, const SkinBuilder::Decoration& d) const
{
    using Kind = SkinBuilder::Decoration::Kind;
    const auto& artist = builder.getArtist();
    const auto area = d.area.toFloat();

    switch (d.kind)
    {
        case Kind::face:    artist.paintFace (g, d.area); break;
        case Kind::module:  artist.paintModule (g, area, d.text); break;
        case Kind::caption: artist.paintCaption (g, area, d.text, d.justification); break;
        case Kind::well:    artist.paintWell (g, area); break;
        case Kind::lcd:     artist.paintLcd (g, area); break;
        case Kind::brand:   artist.paintBrand (g, area); break;
        case Kind::divider: artist.paintDivider (g, area); break;
    }
}

//==============================================================================
std::unique_ptr<juce::XmlElement> SkinWriter::createDocument() const
{
    auto root = std::make_unique<juce::XmlElement> ("PluginEditor");
    root->setAttribute ("application", "Corvane");
    root->addChildElement (createElement (builder.getMainPanel(), true).release());
    return root;
}

std::unique_ptr<juce::XmlElement> SkinWriter::createElement (const SkinBuilder::Element& e, bool isMain) const
{
    auto xml = std::make_unique<juce::XmlElement> (e.tag);

    if (e.name.isNotEmpty())
        xml->setAttribute ("name", e.name);

    for (const auto& key : e.attributes.getAllKeys())
        xml->setAttribute (key, e.attributes[key]);

    if (e.link.isNotEmpty())
    {
        auto* link = xml->createNewChildElement ("links")->createNewChildElement ("link");
        link->setAttribute ("as", "connectedTo");
        link->setAttribute ("param", e.link);
    }

    if (! e.actions.empty())
    {
        auto* actions = xml->createNewChildElement ("actions");

        for (const auto& [type, event] : e.actions)
        {
            auto* action = actions->createNewChildElement ("action");
            action->setAttribute ("type", type);
            action->setAttribute ("event", event);
        }
    }

    if (e.resource.isNotEmpty())
    {
        auto* gfx = xml->createNewChildElement ("gfx");
        gfx->setAttribute ("resource", e.resource);
        gfx->setAttribute ("framesNum", e.frames);
    }

    if (! e.digitResources.isEmpty())
    {
        auto* digits = xml->createNewChildElement ("digits");

        for (const auto& resource : e.digitResources)
        {
            auto* gfx = digits->createNewChildElement ("gfx");
            gfx->setAttribute ("resource", resource);
            gfx->setAttribute ("framesNum", 11);
        }
    }

    if (e.fontAttributes.size() > 0)
    {
        auto* font = xml->createNewChildElement ("font");

        for (const auto& key : e.fontAttributes.getAllKeys())
            font->setAttribute (key, e.fontAttributes[key]);
    }

    if (! isMain)
    {
        auto* pos = xml->createNewChildElement ("pos");
        pos->setAttribute ("left", e.bounds.getX());
        pos->setAttribute ("top", e.bounds.getY());
        auto* size = xml->createNewChildElement ("size");
        size->setAttribute ("width", e.bounds.getWidth());
        size->setAttribute ("height", e.bounds.getHeight());
    }

    if (e.isPanel())
    {
        // Every position in the document is a coordinate of the whole face: a nested
        // panel shifts its children back by its own position.
        auto* controls = xml->createNewChildElement ("controls");
        controls->setAttribute ("ofsX", isMain ? 0 : -e.bounds.getX());
        controls->setAttribute ("ofsY", isMain ? 0 : -e.bounds.getY());

        for (const auto& child : e.children)
            controls->addChildElement (createElement (*child, false).release());
    }

    return xml;
}

//==============================================================================
juce::Image SkinWriter::createPreview (int variant) const
{
    const auto& main = builder.getMainPanel();
    juce::Image preview (juce::Image::ARGB, main.bounds.getWidth(), main.bounds.getHeight(), true);
    juce::Graphics g (preview);
    paintPreview (g, main, variant);
    return preview;
}

void SkinWriter::paintPreview (juce::Graphics& g, const SkinBuilder::Element& e, int variant) const
{
    if (e.isPanel() && e.previewVariants != 0 && (e.previewVariants & (1 << variant)) == 0)
        return;

    if (e.tag == "NumericDisplay")
    {
        const auto digits = e.digitResources.size();
        const auto shown = juce::String (digits == 2 ? (e.name.contains ("Denominator") ? 16 : 3) : 37500);
        auto x = e.bounds.getX();

        for (int i = 0; i < digits; ++i)
        {
            const auto& strip = images.at (e.digitResources[i]);
            const auto place = i - (digits - shown.length());
            const auto frame = place >= 0 ? shown[place] - '0' + 1 : 0;
            g.drawImage (strip, x, e.bounds.getY(), SkinBuilder::digitWidth, SkinBuilder::digitHeight,
                         0, frame * SkinBuilder::digitHeight, SkinBuilder::digitWidth, SkinBuilder::digitHeight);
            x += SkinBuilder::digitWidth;
        }

        return;
    }

    if (e.tag == "TextInput")
    {
        g.setColour (juce::Colour::fromString (e.attributes["textColour"]));
        g.setFont (builder.getArtist().font (e.fontAttributes["height"].getFloatValue(), true,
                                             e.fontAttributes["extraKerning"].getFloatValue()));
        g.drawText ("Default", e.bounds.reduced (5, 0), juce::Justification::centredLeft, false);
        return;
    }

    if (e.resource.isNotEmpty())
    {
        const auto& strip = images.at (e.resource);
        const auto w = strip.getWidth(), h = strip.getHeight() / juce::jmax (1, e.frames);
        g.drawImage (strip, e.bounds.getX(), e.bounds.getY(), w, h, 0, e.previewFrame * h, w, h);
    }

    for (const auto& child : e.children)
        paintPreview (g, *child, variant);
}

//==============================================================================
bool SkinWriter::writeTo (const juce::File& folder) const
{
    if (! folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return false;
    }

    auto write = [&folder] (const juce::String& fileName, const std::function<bool (juce::OutputStream&)>& body)
    {
        const auto file = folder.getChildFile (fileName);
        file.deleteFile();
        juce::FileOutputStream out (file);

        if (out.failedToOpen() || ! body (out))
        {
            std::cerr << "cannot write " << file.getFullPathName() << "\n";
            return false;
        }

        return true;
    };

    juce::XmlElement::TextFormat format;
    const auto document = createDocument()->toString (format);

    if (! write ("skin.xml", [&] (juce::OutputStream& out) { return out.writeText (document, false, false, "\n"); }))
        return false;

    for (const auto& [fileName, picture] : images)
    {
        juce::PNGImageFormat png;

        if (! write (fileName, [&png, &image = picture] (juce::OutputStream& out) { return png.writeImageToStream (image, out); }))
            return false;
    }

    return true;
}
