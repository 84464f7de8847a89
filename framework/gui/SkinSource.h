#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class BasePlugin;
class GFXPanel;

/**
    Finds a skin document and its images, among the module's resources (the built-in
    skin, empty name) or inside a skin archive, and builds the skin's main panel.

    A skin archive "N.halvornskin" is a ZIP holding "N.md5" (the MD5 digest of the
    next entry as 32 hexadecimal digits, nothing else) and "N.skin", itself a ZIP with
    "skin.xml" and the images. The inner archive is used only when the digest matches.
    Archives stay open for the life of the source. Failures give null and no message:
    the editor decides what to tell the user.
*/
class SkinSource
{
public:
    /** What a skin is loaded for: the plug-in whose parameters and events the widgets
        use, and the place of the skin archives. The framework editor is the owner.
    */
    class Owner
    {
    public:
        virtual ~Owner() = default;

        virtual BasePlugin& getPlugin() const = 0;
        /** The archive file of the skin of that name. */
        virtual juce::File getSkinFile (const juce::String& name) const = 0;
    };

    enum Mode
    {
        idle = 0,
        builtIn = 1,
        archive = 2
    };

    SkinSource (Owner& owner, const juce::String& name);
    ~SkinSource();

    /** The main panel of the skin (named "MainEditorPanel"), or null when the skin has
        no valid document or no panel named "MainPanel".
    */
    std::unique_ptr<GFXPanel> createMainPanel();

    /** An image of the skin being built: from the archive while an archive skin is
        built, otherwise from the module's resources. Null when there is none.
    */
    juce::Image loadImage (const juce::String& fileName);

    /** An image of the archive, opening (and checking) it first when it is not open. */
    juce::Image loadImageFromArchive (const juce::String& fileName);

    /** True for a non-empty name whose archive opens and passes its digest check. */
    static bool isValidSkin (Owner& owner, const juce::String& name);

    Owner& getOwner() const noexcept                    { return owner; }
    BasePlugin& getPlugin() const                       { return owner.getPlugin(); }
    const juce::String& getName() const noexcept        { return name; }
    Mode getMode() const noexcept                       { return mode; }

private:
    /** Every skin document passes here to become an element tree. */
    static std::unique_ptr<juce::XmlElement> parseSkinDocument (const juce::String& text);
    /** A PNG picture from an archive as an image, or a null image when it is damaged. */
    static juce::Image decodePicture (const juce::MemoryBlock& picture);

    /** The whole entry of that name, when it is there and holds no more than maxBytes. */
    static bool readEntry (juce::ZipFile& zip, const juce::String& entryName, juce::int64 maxBytes,
                           juce::MemoryBlock& result);

    std::unique_ptr<GFXPanel> buildMainPanel (juce::XmlElement& root);
    void openArchive();
    void closeArchive();

    Owner& owner;
    juce::String name;
    Mode mode = idle;
    // Declared so that destruction runs inner, then the entry stream it reads, then outer.
    std::unique_ptr<juce::ZipFile> outer;
    std::unique_ptr<juce::InputStream> entryStream;
    std::unique_ptr<juce::ZipFile> inner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SkinSource)
};
