// A skin archive around the input: the input is the inner archive (the skin document and its
// pictures), wrapped with its true digest so that every input gets past the check to the reader.

#include "FuzzedProduct.h"

#include "GFXPanel.h"
#include "SkinSource.h"

#include <juce_cryptography/juce_cryptography.h>

namespace
{
    struct Owner  : public SkinSource::Owner
    {
        BasePlugin& getPlugin() const override                      { return FuzzedProduct::get().getProcessor(); }
        juce::File getSkinFile (const juce::String&) const override { return file; }

        juce::File file;
    };
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // JUCE copies and digests an empty input through its null pointer, which the sanitizer
    // stops at before the reader is reached: an empty input starts from a pointer of its own.
    const auto* bytes = size > 0 ? data : reinterpret_cast<const uint8_t*> ("");
    juce::MemoryInputStream innerStream (bytes, size, false);
    const auto digest = juce::MD5 (innerStream).toHexString();
    const juce::Time stamp (2020, 0, 1, 0, 0);

    juce::ZipFile::Builder builder;
    builder.addEntry (new juce::MemoryInputStream (juce::MemoryBlock (digest.toRawUTF8(), digest.getNumBytesAsUTF8()), true),
                      0, "Fuzzed.md5", stamp);
    builder.addEntry (new juce::MemoryInputStream (bytes, size, true), 0, "Fuzzed.skin", stamp);

    juce::MemoryOutputStream archive;
    builder.writeToStream (archive, nullptr);

    Owner owner;
    owner.file = FuzzedProduct::get().writeInput ("Skins/Fuzzed.halvornskin",
                                                  static_cast<const uint8_t*> (archive.getData()), archive.getDataSize());

    SkinSource source (owner, "Fuzzed");

    if (auto panel = source.createMainPanel())
        panel->createComponentSnapshot (panel->getLocalBounds().withSizeKeepingCentre (64, 64), false);

    return 0;
}
