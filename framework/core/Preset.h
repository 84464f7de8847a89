#pragma once

#include <juce_core/juce_core.h>

class Parameter;
class ParameterManager;

/**
    A set of parameter values with a header (name, application, category, version,
    author, id, rating) and an optional block of extra XML.

    Values are kept as the parameters' own texts, keyed by parameter index, so a preset
    survives changes of a parameter's range. In a file it is an XML document with the
    root "Preset", one "param" element per value and one "ExtraData" element.
*/
class Preset
{
public:
    /** One stored value: the parameter's index and its value as the parameter's text. */
    struct Entry
    {
        int index = -1;
        juce::String text;
    };

    /** Orders entries by ascending parameter index, for JUCE's array sorts. */
    class Comparator
    {
    public:
        virtual ~Comparator() = default;
        virtual int compareElements (const Entry* a, const Entry* b) const;
    };

    Preset();
    virtual ~Preset();

    //==============================================================================
    const juce::String& getName() const noexcept            { return name; }
    void setName (const juce::String& newName)              { name = newName; }
    const juce::String& getAuthor() const noexcept          { return author; }
    void setAuthor (const juce::String& newAuthor)          { author = newAuthor; }
    const juce::String& getId() const noexcept              { return id; }
    void setId (const juce::String& newId)                  { id = newId; }
    const juce::String& getApplication() const noexcept     { return application; }
    void setApplication (const juce::String& newApp)        { application = newApp; }
    const juce::String& getCategory() const noexcept        { return category; }
    void setCategory (const juce::String& newCategory)      { category = newCategory; }
    const juce::String& getVersion() const noexcept         { return version; }
    void setVersion (const juce::String& newVersion)        { version = newVersion; }

    /** The rating, 1 to 5; 3 until a valid rating was read or set. */
    int getRating() const noexcept                          { return rating; }
    /** Stores a rating and marks it for writing. */
    void setRating (int newRating);
    bool hasRating() const noexcept                         { return ratingIsSet; }

    /** The "ExtraData" element as read or set (its children are the extra XML), or null. */
    const juce::XmlElement* getExtraData() const noexcept   { return extraData.get(); }
    /** Makes the given element the only content of the extra-data block; null removes the block. */
    void setExtraData (std::unique_ptr<juce::XmlElement> content);

    //==============================================================================
    int getNumEntries() const noexcept                      { return entries.size(); }
    const Entry* getEntry (int i) const noexcept            { return entries[i]; }
    /** The indices that the entries hold. */
    const juce::SparseSet<int>& getIndices() const noexcept { return indices; }
    bool containsIndex (int index) const                    { return indices.contains (index); }

    /** Appends the parameter's index and current text; null is ignored. */
    void addEntry (const Parameter* parameter);
    /** Appends an entry, taking ownership; null is ignored. */
    void addEntry (Entry* entry);
    void clearEntries();
    /** Sorts the entries by index (equal indices keep their order). */
    void sortEntries();

    /** Appends a copy of every entry of other whose index this preset does not hold,
        in other's order; the processor completes loaded presets from its default this way.
    */
    void addMissingEntries (const Preset& other);

    //==============================================================================
    /** Reads a "Preset" element (names matched ignoring case). The entries are always
        cleared; a null element or another root leaves the header as it was.
    */
    void loadFromXml (const juce::XmlElement* xml, const ParameterManager& manager, bool headerOnly);

    /** A new "Preset" element in the file format; the caller owns it. */
    std::unique_ptr<juce::XmlElement> createXml (const ParameterManager& manager) const;

    /** Reads a preset file; a missing or unreadable file, or one that is not a regular file,
        leaves the preset as it was. With headerOnly only the root element's attributes are
        parsed. Returns true when the file gave a "Preset" element.
    */
    virtual bool loadFromFile (const juce::File& file, const ParameterManager& manager, bool headerOnly);

    /** Writes the preset as a UTF-8 file through AtomicFileWriter, by way of a link that
        leads to no file yet too; returns false when the file could not be written or was
        refused.
    */
    virtual bool saveToFile (const juce::File& file, const ParameterManager& manager);

    /** Rewrites only the "author" and "id" attributes of an existing preset file with this
        preset's (removing those that are empty here), leaving the rest of the file as it is,
        and a link as a link. Returns false when the file does not hold a preset or could not
        be written.
    */
    bool rewriteFileAuthor (const juce::File& file) const;

    /** Sets the "rating" attribute of a preset file's root to a rating from 1 to 5 in the
        file's own bytes, so that nothing else of the file changes, not even its spacing.
        A file is left untouched, and false returned, unless it holds a preset and the
        rewritten file is certain to read back as the same document with the new rating.
        A link stays a link: the file it leads to is rewritten. On false, failureReason, when
        given, says why.
    */
    static bool rewriteFileRating (const juce::File& file, int newRating, juce::String* failureReason = nullptr);

    /** True when the file is a regular file or a link that leads to one. Presets are read,
        replaced and rated only then: reading a FIFO or a device may wait for ever.
    */
    static bool isRegularFile (const juce::File& file);

    /** True when a symbolic link stands at the path and leads to nothing yet: a save there
        replaces no preset, but creates the file the user linked to.
    */
    static bool isDanglingLink (const juce::File& file);

private:
    juce::OwnedArray<Entry> entries;
    juce::SparseSet<int> indices;
    juce::String name, author, id, application, category;
    int rating = 3;
    bool ratingIsSet = false;
    juce::String version;
    std::unique_ptr<juce::XmlElement> extraData;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Preset)
};
