#include "Preset.h"

#include "AtomicFileWriter.h"
#include "CaseKey.h"
#include "Parameter.h"
#include "ParameterManager.h"
#include "XmlHelpers.h"
#include "XmlScanner.h"

#include <cstring>
#include <filesystem>

namespace
{
    /** The type of what the path leads to (links followed); none when it cannot be told. */
    std::filesystem::file_type typeOf (const juce::File& file)
    {
        std::error_code error;
        const auto status = std::filesystem::status (file.getFullPathName().toStdString(), error);
        return error && status.type() != std::filesystem::file_type::not_found ? std::filesystem::file_type::none
                                                                                : status.type();
    }

    /** The name of the element's attribute that matches ignoring case, or an empty string. */
    juce::String findAttributeName (const juce::XmlElement& element, juce::StringRef attributeName)
    {
        for (const auto& name : XmlHelpers::getAttributeNames (element))
            if (CaseKey::equal (name, attributeName))
                return name;

        return {};
    }
}

int Preset::Comparator::compareElements (const Entry* a, const Entry* b) const
{
    return a->index < b->index ? -1 : (a->index > b->index ? 1 : 0);
}

Preset::Preset() = default;
Preset::~Preset() = default;

void Preset::setRating (int newRating)
{
    rating = newRating;
    ratingIsSet = true;
}

void Preset::setExtraData (std::unique_ptr<juce::XmlElement> content)
{
    if (content == nullptr)
    {
        extraData.reset();
        return;
    }

    extraData = std::make_unique<juce::XmlElement> ("ExtraData");
    extraData->addChildElement (content.release());
}

//==============================================================================
void Preset::addEntry (const Parameter* parameter)
{
    if (parameter != nullptr)
        addEntry (new Entry { parameter->getIndex(), parameter->getText() });
}

void Preset::addEntry (Entry* entry)
{
    if (entry == nullptr)
        return;

    entries.add (entry);
    indices.addRange ({ entry->index, entry->index + 1 });
}

void Preset::clearEntries()
{
    entries.clear();
    indices.clear();
}

void Preset::sortEntries()
{
    Comparator comparator;
    entries.sort (comparator, true);
}

void Preset::addMissingEntries (const Preset& other)
{
    // Inverting each of other's ranges in a copy of our own set leaves the indices that
    // exactly one of the two holds; of other's entries, those are the ones we lack.
    auto missing = indices;

    for (int i = 0; i < other.indices.getNumRanges(); ++i)
        missing.invertRange (other.indices.getRange (i));

    for (auto* entry : other.entries)
        if (missing.contains (entry->index))
            addEntry (new Entry (*entry));
}

//==============================================================================
void Preset::loadFromXml (const juce::XmlElement* xml, const ParameterManager& manager, bool headerOnly)
{
    clearEntries();

    if (xml == nullptr || ! XmlHelpers::hasTagName (*xml, "Preset"))
        return;

    name        = XmlHelpers::getStringAttribute (*xml, "name");
    application = XmlHelpers::getStringAttribute (*xml, "application");
    category    = XmlHelpers::getStringAttribute (*xml, "category");
    version     = XmlHelpers::getStringAttribute (*xml, "version");
    author      = XmlHelpers::getStringAttribute (*xml, "author");
    id          = XmlHelpers::getStringAttribute (*xml, "id");

    if (XmlHelpers::hasAttribute (*xml, "rating"))
    {
        const auto r = XmlHelpers::getIntAttribute (*xml, "rating");

        if (r >= 1 && r <= 5)
            setRating (r);
    }

    if (headerOnly)
        return;

    const juce::XmlElement* extra = nullptr;

    for (auto* child : xml->getChildIterator())
    {
        if (XmlHelpers::hasTagName (*child, "param"))
        {
            const auto index = manager.getParameterIndex (XmlHelpers::getStringAttribute (*child, "name"));

            if (index != -1)
                addEntry (new Entry { index, XmlHelpers::getStringAttribute (*child, "value") });
        }
        else if (extra == nullptr && XmlHelpers::hasTagName (*child, "ExtraData"))
        {
            extra = child;
        }
    }

    // The block is kept as read and written back as it is, so a file that is read and
    // saved again keeps its extra data unchanged.
    if (extra != nullptr)
    {
        extraData = std::make_unique<juce::XmlElement> (*extra);
        extraData->setTagName ("ExtraData");
    }
}

std::unique_ptr<juce::XmlElement> Preset::createXml (const ParameterManager& manager) const
{
    auto xml = std::make_unique<juce::XmlElement> ("Preset");

    const auto setIfNotEmpty = [&xml] (const char* attribute, const juce::String& value)
    {
        if (value.isNotEmpty())
            xml->setAttribute (attribute, value);
    };

    setIfNotEmpty ("name", name);
    setIfNotEmpty ("application", application);
    setIfNotEmpty ("category", category);
    setIfNotEmpty ("version", version);
    setIfNotEmpty ("author", author);
    setIfNotEmpty ("id", id);

    if (ratingIsSet)
        xml->setAttribute ("rating", rating);

    for (auto* entry : entries)
    {
        auto* param = xml->createNewChildElement ("param");
        const auto parameterName = manager.getParameterName (entry->index);

        if (parameterName.isNotEmpty())
        {
            param->setAttribute ("name", parameterName);
            param->setAttribute ("value", entry->text);
        }
    }

    if (extraData != nullptr)
        xml->addChildElement (new juce::XmlElement (*extraData));

    return xml;
}

//==============================================================================
bool Preset::isRegularFile (const juce::File& file)
{
    return typeOf (file) == std::filesystem::file_type::regular;
}

bool Preset::isDanglingLink (const juce::File& file)
{
    const auto path = std::filesystem::u8path (file.getFullPathName().toStdString());
    std::error_code error;
    return std::filesystem::is_symlink (std::filesystem::symlink_status (path, error))
        && std::filesystem::status (path, error).type() == std::filesystem::file_type::not_found;
}

bool Preset::loadFromFile (const juce::File& file, const ParameterManager& manager, bool headerOnly)
{
    const auto xml = XmlHelpers::parseUntrusted (file, headerOnly);

    if (xml == nullptr)
        return false;

    loadFromXml (xml.get(), manager, headerOnly);
    return XmlHelpers::hasTagName (*xml, "Preset");
}

bool Preset::saveToFile (const juce::File& file, const ParameterManager& manager)
{
    // The editor asks before a save through a link that leads to no preset yet.
    return AtomicFileWriter::write (file, *createXml (manager), AtomicFileWriter::DanglingLinks::writeThrough)
        == AtomicFileWriter::Outcome::written;
}

bool Preset::rewriteFileAuthor (const juce::File& file) const
{
    auto xml = XmlHelpers::parseUntrusted (file);

    if (xml == nullptr || ! XmlHelpers::hasTagName (*xml, "Preset"))
        return false;

    // An attribute is replaced where it stands, in whatever letter case the file has it.
    const auto rewrite = [&xml] (const char* attribute, const juce::String& value)
    {
        const auto existingName = findAttributeName (*xml, attribute);

        if (value.isNotEmpty())
            xml->setAttribute (existingName.isNotEmpty() ? existingName : juce::String (attribute), value);
        else if (existingName.isNotEmpty())
            xml->removeAttribute (existingName);
    };

    rewrite ("author", author);
    rewrite ("id", id);

    return AtomicFileWriter::write (file, *xml) == AtomicFileWriter::Outcome::written;
}

bool Preset::rewriteFileRating (const juce::File& file, int newRating, juce::String* failureReason)
{
    const auto refuse = [failureReason] (const juce::String& reason)
    {
        if (failureReason != nullptr)
            *failureReason = reason;

        return false;
    };

    const juce::String notSafe ("it is not a preset file whose rating can be changed without changing anything else");
    juce::MemoryBlock data;

    if (newRating < 1 || newRating > 5 || ! isRegularFile (file) || file.getSize() > XmlHelpers::maximumDocumentSize
         || ! file.loadFileAsData (data))
        return refuse (notSafe);

    const auto xml = XmlHelpers::parseUntrusted (data);

    if (xml == nullptr || ! XmlHelpers::hasTagName (*xml, "Preset"))
        return refuse (notSafe);

    const auto* bytes = static_cast<const char*> (data.getData());
    const auto byteOrderMark = data.getSize() >= 3 && juce::CharPointer_UTF8::isByteOrderMark (bytes) ? 3 : 0;
    const std::string text (bytes + byteOrderMark, data.getSize() - (size_t) byteOrderMark);

    // The places found in the decoded text are places in the file only when decoding changed
    // no byte (it rewrites overlong sequences, and stops at a zero byte).
    const auto decoded = juce::String::fromUTF8 (text.data(), (int) text.size());

    if (decoded.getNumBytesAsUTF8() != text.size() || std::memcmp (decoded.toRawUTF8(), text.data(), text.size()) != 0)
        return refuse (notSafe);

    const auto tag = XmlScanner::findRootStartTag (text.c_str());

    const auto names = XmlHelpers::getAttributeNames (*xml);

    if (! tag.has_value() || tag->attributes.size() != (size_t) names.size())
        return refuse (notSafe);

    const auto textOf = [&text] (juce::Range<size_t> range)
    {
        return juce::String::fromUTF8 (text.data() + range.getStart(), (int) range.getLength());
    };

    int ratingIndex = -1;

    for (int i = 0; i < names.size(); ++i)
    {
        if (textOf (tag->attributes[(size_t) i].name) != names[i])
            return refuse (notSafe);

        if (ratingIndex < 0 && CaseKey::equal (names[i], "rating"))
            ratingIndex = i;
    }

    auto rewritten = text;
    auto expected = std::make_unique<juce::XmlElement> (*xml);
    const auto value = std::to_string (newRating);

    if (ratingIndex >= 0)
    {
        const auto range = tag->attributes[(size_t) ratingIndex].value;
        rewritten.replace (range.getStart(), range.getLength(), value);
        expected->setAttribute (names[ratingIndex], newRating);
    }
    else
    {
        const auto insertAt = tag->attributes.empty() ? tag->name.getEnd() : tag->attributes.back().value.getEnd() + 1;
        rewritten.insert (insertAt, " rating=\"" + value + "\"");
        expected->setAttribute ("rating", newRating);
    }

    rewritten.insert (0, bytes, (size_t) byteOrderMark);
    juce::MemoryBlock result (rewritten.data(), rewritten.size());
    const auto reread = XmlHelpers::parseUntrusted (result);

    if (reread == nullptr || ! reread->isEquivalentTo (expected.get(), false))
        return refuse (notSafe);

    AtomicFileWriter writer (file);

    if (auto* out = writer.getStream())
        out->write (result.getData(), result.getSize());

    if (writer.commit() != AtomicFileWriter::Outcome::written)
        return refuse (writer.getFailureReason().isNotEmpty() ? writer.getFailureReason() : juce::String ("it could not be written"));

    return true;
}
