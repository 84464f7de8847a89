#include "UncompressedHeaderCheck.h"

#include "CommandLineOptions.h"

#include <cstring>
#include <limits>

namespace
{
    constexpr int pcmTag = 0x0001, floatTag = 0x0003, aLawTag = 0x0006, uLawTag = 0x0007, extensibleTag = 0xfffe;

    /** The tag standing for an extensible chunk's sub-format that JUCE's reader does not know. */
    constexpr int unknownSubFormatTag = -1;

    /** The speaker positions of an extensible WAV file's channel mask, front left to top back right. */
    constexpr uint32_t knownSpeakers = 0x3ffff;

    int tagOf (const char* name) noexcept
    {
        return static_cast<int> (juce::ByteOrder::littleEndianInt (name));
    }

    bool isOneOf (int chunk, std::initializer_list<const char*> names) noexcept
    {
        for (const auto* name : names)
            if (chunk == tagOf (name))
                return true;

        return false;
    }

    juce::String nameOf (int chunk)
    {
        const auto bytes = juce::ByteOrder::swapIfBigEndian (static_cast<uint32_t> (chunk));
        char name[4] {};
        std::memcpy (name, &bytes, 4);

        for (auto& c : name)
            if (c < 0x20 || c > 0x7e)
                c = '?';

        return juce::String (name, 4);
    }

    /** The largest sizes of its audio that sox gives in a WAV and an AIFF file, its mark where it
        cannot seek back to give the real one.
    */
    constexpr uint32_t soxWavMark = 0x7ffff000, soxAiffMark = 0x7f000000;

    /** True for the size of its audio that a writer which cannot seek back leaves in its header:
        all bits set, or sox's mark rounded down to whole frames. The audio then runs to the end
        of the file.
    */
    bool isStreamingMark (uint32_t size, uint32_t largest, int frameSize) noexcept
    {
        return size == 0xffffffff || (size <= largest && largest - size < static_cast<uint32_t> (juce::jmax (1, frameSize)));
    }

    /** The plain chunk's tag for an extensible chunk's sub-format, as JUCE's reader tells them
        apart: by the whole identifier, the ambisonic one of integer PCM included.
    */
    int readSubFormat (juce::InputStream& stream)
    {
        const auto data1 = static_cast<uint32_t> (stream.readInt());
        const auto data2 = static_cast<uint16_t> (stream.readShort());
        const auto data3 = static_cast<uint16_t> (stream.readShort());
        uint8_t data4[8] {};
        stream.read (data4, sizeof (data4));

        constexpr uint8_t standard[] { 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 };
        constexpr uint8_t ambisonic[] { 0x86, 0x44, 0xc8, 0xc1, 0xca, 0x00, 0x00, 0x00 };

        if (data2 == 0x0000 && data3 == 0x0010 && std::memcmp (data4, standard, sizeof (data4)) == 0 && data1 <= 0xffff)
            return static_cast<int> (data1);

        if (data1 == pcmTag && data2 == 0x0721 && data3 == 0x11d3 && std::memcmp (data4, ambisonic, sizeof (data4)) == 0)
            return pcmTag;

        return unknownSubFormatTag;
    }

    juce::String describeEncoding (int tag, int bitsPerSample)
    {
        const auto bits = juce::String (bitsPerSample) + "-bit ";

        switch (tag)
        {
            case pcmTag:    return bits + "integer PCM";
            case floatTag:  return bits + "float";
            case aLawTag:   return bits + "A-law";
            case uLawTag:   return bits + "u-law";
            case 0x0002:    return "Microsoft ADPCM";
            case 0x0011:    return "IMA ADPCM";
            case 0x0031:    return "GSM 6.10";
            case 0x0050:
            case 0x0055:    return "MPEG audio";
            case unknownSubFormatTag:  return "an extensible format of unknown kind";
            default:        return "format 0x" + juce::String::toHexString (tag).paddedLeft ('0', 4);
        }
    }

    /** True for the WAV encodings the host reads: JUCE's reader's and WavEncodingReader's. */
    bool isReadEncoding (int tag, int bitsPerSample) noexcept
    {
        return (tag == pcmTag && (bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32))
            || (tag == floatTag && (bitsPerSample == 32 || bitsPerSample == 64))
            || ((tag == aLawTag || tag == uLawTag) && bitsPerSample == 8);
    }

    /** True for the encodings JUCE's reader leaves to WavEncodingReader, which takes the frame
        size from the channels and bits alone.
    */
    bool isOwnEncoding (int tag, int bitsPerSample) noexcept
    {
        return (tag == floatTag && bitsPerSample == 64) || tag == aLawTag || tag == uLawTag;
    }

    /** The AIFF chunks whose fields the header walk reads: the size of those fields. */
    struct AiffChunkKind
    {
        const char* name;
        const char* description;
        uint32_t fieldsSize;
    };

    constexpr AiffChunkKind aiffChunkKinds[] { { "COMM", "common chunk (COMM)", 18 }, { "SSND", "sound data chunk (SSND)", 8 },
                                               { "FVER", "format version chunk (FVER)", 4 }, { "MARK", "marker chunk (MARK)", 2 },
                                               { "COMT", "comment chunk (COMT)", 2 }, { "cate", "category chunk (cate)", 4 } };

    //==============================================================================
    /** JUCE's test for a tag of a 'cate' chunk, an upper-case letter and two lower-case ones;
        false, with past set, where it would read beyond the chunk.
    */
    bool isCategoryTag (const uint8_t* data, size_t size, size_t at, bool& past) noexcept
    {
        for (size_t i = 0; i < 3; ++i)
        {
            if (at + i >= size)
            {
                past = true;
                return false;
            }

            const auto c = data[at + i];

            if (! (i == 0 ? (c >= 'A' && c <= 'Z') : (c >= 'a' && c <= 'z')))
                return false;
        }

        return true;
    }

    /** True where JUCE's reading of a 'cate' chunk's tags, as a string of UTF-8 text from each
        tag to the chunk's end, would read beyond the chunk, or where a tag's text runs on past
        its field of 50 bytes: each such tag is copied up to the next zero byte, so a chunk of
        tags without one takes memory in the square of its size.
    */
    bool categoriesCannotBeRead (const juce::MemoryBlock& block)
    {
        static const char* const appleGenres[] { "Rock/Blues", "Electronic/Dance", "Jazz", "Urban", "World/Ethnic",
                                                 "Cinematic/New Age", "Orchestral", "Country/Folk", "Experimental", "Other Genre" };

        const auto* data = static_cast<const uint8_t*> (block.getData());
        const auto size = block.getSize();
        auto past = false;

        for (size_t at = 0; at < size;)
        {
            auto isGenre = false;

            if (isCategoryTag (data, size, at, past))
            {
                // Each character is decoded with as many continuation bytes as its first byte
                // calls for, the test for the next of them made before the end is.
                size_t end = at;

                while (end < size && data[end] != 0)
                {
                    if (end - at >= 50)
                        return true;

                    const auto first = data[end++];

                    for (uint8_t bit = 0x40; (first & 0x80) != 0 && (first & bit) != 0 && bit > 0x8; bit >>= 1)
                    {
                        if (end >= size)
                            return true;

                        if ((data[end] & 0xc0) != 0x80)
                            break;

                        ++end;
                    }
                }

                const juce::String tag (juce::CharPointer_UTF8 (reinterpret_cast<const char*> (data + at)),
                                        juce::CharPointer_UTF8 (reinterpret_cast<const char*> (data + end)));

                for (const auto* genre : appleGenres)
                    isGenre = isGenre || tag == genre;
            }

            if (past)
                return true;

            at += isGenre ? 118 : 50;

            if (at < size && data[at] == 0)
            {
                if (at + 52 < size && isCategoryTag (data, size, at + 50, past))
                    at += 50;
                else if (at + 120 < size && isCategoryTag (data, size, at + 118, past))
                    at += 118;
                else if (at + 170 < size && isCategoryTag (data, size, at + 168, past))
                    at += 168;
            }
        }

        return false;
    }
}

//==============================================================================
UncompressedHeaderCheck::UncompressedHeaderCheck (juce::InputStream& source)
{
    // Read through a buffer: a header may hold thousands of small chunks and entries.
    juce::BufferedInputStream stream (source, 65536);
    char start[12] {};

    if (! stream.setPosition (0) || stream.read (start, sizeof (start)) != sizeof (start))
        return;

    if (isOneOf (tagOf (start), { "RIFF", "RF64" }) && tagOf (start + 8) == tagOf ("WAVE"))
    {
        walkWav (stream, tagOf (start) == tagOf ("RF64"));
        problem = findWavProblem (stream.getTotalLength());
    }
    else if (tagOf (start) == tagOf ("FORM") && isOneOf (tagOf (start + 8), { "AIFF", "AIFC" }))
    {
        // A size of 0 is what a writer that cannot seek back leaves: the chunks run to the end of the file.
        const auto formSize = juce::ByteOrder::bigEndianInt (start + 4);
        walkAiff (stream, formSize != 0 ? 8 + static_cast<juce::int64> (formSize) : stream.getTotalLength());
        problem = findAiffProblem (stream.getTotalLength());
    }
}

void UncompressedHeaderCheck::checkChunkFits (int chunk, juce::int64 contentEnd, juce::int64 fileLength, const char* container)
{
    if (damage.isEmpty() && contentEnd > fileLength)
        damage = juce::String ("the ") + container + " header is damaged: its '" + nameOf (chunk) + "' chunk runs past the end of the file";
}

//==============================================================================
void UncompressedHeaderCheck::walkWav (juce::InputStream& stream, bool isRF64)
{
    const auto fileLength = stream.getTotalLength();

    // JUCE's reader reads chunks up to the end that the RIFF size gives, or for RF64 the size in
    // the ds64 chunk, which must come first: without it it reads no chunk at all.
    stream.setPosition (4);
    auto end = static_cast<uint64_t> (static_cast<uint32_t> (stream.readInt())) + 8;
    stream.setPosition (12);
    juce::int64 rf64DataSize = 0;

    if (isRF64)
    {
        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        const auto chunkEnd = stream.getPosition() + length + (length & 1);

        if (chunk != tagOf ("ds64"))
            damage = "the WAV header is damaged: it does not begin with its RF64 size chunk (ds64)";
        else if (length < 28)
            damage = "the WAV header is damaged: its RF64 size chunk (ds64) is too short";

        if (damage.isNotEmpty())
            return;

        end = static_cast<uint64_t> (stream.readInt64()) + 8;
        rf64DataSize = stream.readInt64();
        stream.setPosition (chunkEnd);
    }

    auto hasData = false;

    while (static_cast<uint64_t> (stream.getPosition()) < end && stream.getPosition() < fileLength)
    {
        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        auto chunkEnd = stream.getPosition() + length + (length & 1);

        if (chunk == tagOf ("fmt ") && length < 16)
        {
            damage = "the WAV header is damaged: its format chunk is too short";
            return;
        }

        if (chunk == tagOf ("fmt "))
        {
            ++numFormatChunks;
            formatFollowsData = formatFollowsData || hasData;
            wav.tag = static_cast<uint16_t> (stream.readShort());
            wav.numChannels = static_cast<uint16_t> (stream.readShort());
            wav.sampleRate = static_cast<uint32_t> (stream.readInt());
            byteRate = static_cast<uint32_t> (stream.readInt());
            wav.blockAlign = static_cast<uint16_t> (stream.readShort());
            wav.bitsPerSample = static_cast<uint16_t> (stream.readShort());
            channelMask = 0;

            if (wav.tag == extensibleTag && length >= 40)
            {
                stream.skipNextBytes (4);
                channelMask = static_cast<uint32_t> (stream.readInt());
                wav.tag = readSubFormat (stream);
            }
        }
        else if (chunk == tagOf ("data") && ! hasData)
        {
            // An RF64 file's data size is the one in its ds64 chunk, whatever its data chunk says.
            // Where a streaming writer left its mark the audio is all that follows.
            hasData = true;
            wav.dataStart = stream.getPosition();
            wav.dataSize = isRF64 ? rf64DataSize : static_cast<juce::int64> (length);

            if (! isRF64 && isStreamingMark (length, soxWavMark, wav.blockAlign))
            {
                wav.dataSize = juce::jmax (juce::int64 (0), fileLength - wav.dataStart);
                break;
            }

            if (isRF64 && rf64DataSize > 0)
            {
                // JUCE's reader adds the size to the position, a sum that overflows for a size
                // far past the end of the file.
                if (rf64DataSize > fileLength - wav.dataStart)
                    break;

                chunkEnd = wav.dataStart + rf64DataSize + (rf64DataSize & 1);
            }
        }
        else if (isOneOf (chunk, { "bext", "smpl", "inst", "INST", "cue ", "axml", "iXML", "LIST", "Trkn" }))
        {
            // A copy cut short after all its audio loses nothing that is heard.
            if (hasData && wav.dataSize <= fileLength - wav.dataStart && stream.getPosition() + length > fileLength)
            {
                notes.add ("its '" + nameOf (chunk) + "' chunk after the audio is cut by the end of the file");
                break;
            }

            // JUCE's reader takes room for the whole of these, however much of it the file holds.
            checkChunkFits (chunk, stream.getPosition() + length, fileLength, "WAV");

            if (chunk == tagOf ("LIST") && damage.isEmpty() && stream.readInt() == tagOf ("adtl"))
                walkCueTexts (stream, chunkEnd);

            if (damage.isNotEmpty())
                return;
        }

        stream.setPosition (chunkEnd);
    }

    if (static_cast<uint64_t> (stream.getPosition()) >= end && stream.getPosition() < fileLength)
        stopper = juce::String ("the WAV header is damaged: its ") + (isRF64 ? "RF64" : "RIFF") + " size ends it before its format chunk";
}

void UncompressedHeaderCheck::walkCueTexts (juce::InputStream& stream, juce::int64 listEnd)
{
    const auto fileLength = stream.getTotalLength();

    while (stream.getPosition() < listEnd && damage.isEmpty())
    {
        // At the end of the file JUCE's reader reads nothing, so it stays where it is for ever.
        if (stream.getPosition() >= fileLength)
        {
            checkChunkFits (tagOf ("LIST"), listEnd, fileLength, "WAV");
            return;
        }

        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        const auto contentStart = stream.getPosition();

        // Each text is read as what is left of its chunk after its fixed fields: where that is
        // less than nothing, JUCE's reader reads on to the end of the file.
        if (isOneOf (chunk, { "labl", "note", "ltxt" }))
        {
            checkChunkFits (chunk, contentStart + length, fileLength, "WAV");

            if (damage.isEmpty() && length < (chunk == tagOf ("ltxt") ? 20u : 4u))
                damage = "the WAV header is damaged: its '" + nameOf (chunk) + "' chunk is too short";
        }

        // The size and its pad byte are added in 32 bits, as JUCE's reader adds them.
        stream.setPosition (contentStart + static_cast<uint32_t> (length + (length & 1)));
    }
}

juce::String UncompressedHeaderCheck::findWavProblem (juce::int64 fileLength) const
{
    const juce::String damaged ("the WAV header is damaged");

    if (damage.isNotEmpty())
        return damage;

    // Both sizes fit, so comparing what is left after the start cannot overflow as their sum may.
    if (wav.dataSize > fileLength - wav.dataStart)
        return "the file is cut short";

    if (numFormatChunks == 0)
        return stopper.isNotEmpty() ? stopper : damaged + ": it has no format chunk";

    if (numFormatChunks > 1)
        return damaged + ": it has " + juce::String (numFormatChunks) + " format chunks";

    if (formatFollowsData)
        return damaged + ": its format chunk follows its data chunk";

    // JUCE's reader builds a channel layout from the channel count and mask, one speaker for
    // each channel and each bit of the mask, and runs out of speaker kinds past 128 channels.
    if (wav.numChannels == 0)
        return damaged + ": it has no channels";

    if (wav.numChannels > 2)
        return "it has " + juce::String (wav.numChannels) + " channels; only mono and stereo files can be rendered";

    // It also turns a bit of the mask that WAV does not define into a speaker of its own, and
    // reads the top bit as a sign that it then negates past what an int holds.
    if ((channelMask & ~knownSpeakers) != 0)
        return "its channel mask (0x" + juce::String::toHexString (static_cast<int> (channelMask)).paddedLeft ('0', 8)
                 + ") names speakers that WAV does not define";

    if (wav.tag == extensibleTag)
        return damaged + ": its extensible format chunk is too short";

    if (! isReadEncoding (wav.tag, wav.bitsPerSample))
        return "its encoding (" + describeEncoding (wav.tag, wav.bitsPerSample) + ") is not supported";

    if (isOwnEncoding (wav.tag, wav.bitsPerSample) && wav.blockAlign != wav.numChannels * wav.bitsPerSample / 8)
        return damaged + ": its frame size does not fit its channels and bits";

    // JUCE's reader reads the rate as a signed number, so one past what an int holds comes out
    // negative. A rate beyond those a render takes is believed only where the byte rate bears
    // it out, since the user is then asked to resample from it.
    const auto byteRateFits = static_cast<uint64_t> (wav.sampleRate) * static_cast<uint64_t> (wav.blockAlign) == byteRate;

    if (wav.sampleRate == 0 || wav.sampleRate > static_cast<uint32_t> (std::numeric_limits<int>::max())
         || (wav.sampleRate > CommandLineOptions::maxSampleRate && ! byteRateFits))
        return damaged + ": its sample rate reads " + juce::String (wav.sampleRate) + " Hz"
                 + (byteRateFits ? juce::String() : ", which does not match its byte rate of " + juce::String (byteRate) + " bytes a second");

    return {};
}

//==============================================================================
void UncompressedHeaderCheck::walkAiff (juce::InputStream& stream, juce::int64 end)
{
    const auto fileLength = stream.getTotalLength();
    auto hasVersion = false;

    while (stream.getPosition() < end)
    {
        const auto name = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readIntBigEndian());
        const auto contentStart = stream.getPosition();
        const auto chunkEnd = contentStart + length;

        // Each chunk is read within its own size. One too short for its fields is damage, except
        // that an empty one of those the audio does without holds nothing and is passed over, as
        // an empty chunk of an unknown kind is.
        const auto chunk = length == 0 && isOneOf (name, { "FVER", "MARK", "COMT", "INST", "cate" }) ? 0 : name;
        const auto sizeAnnouncesNothing = length == 0 && chunk == tagOf ("SSND");

        for (const auto& kind : aiffChunkKinds)
        {
            // A common chunk longer than AIFF's own holds AIFF-C's compression type too.
            const auto fieldsSize = kind.fieldsSize + (chunk == tagOf ("COMM") && length > 18 ? 4u : 0u);

            if (chunk == tagOf (kind.name) && length < fieldsSize && ! sizeAnnouncesNothing)
            {
                damage = juce::String ("the AIFF header is damaged: its ") + kind.description + " is too short";
                return;
            }
        }

        if (chunk == tagOf ("FVER"))
        {
            hasVersion = true;
            const auto version = static_cast<uint32_t> (stream.readIntBigEndian());

            if (version != 0 && version != 0xa2805140)
            {
                stopper = "the AIFF reader stops at a format version (FVER) it does not know";
                return;
            }
        }
        else if (chunk == tagOf ("COMM"))
        {
            ++aiff.numCommonChunks;
            aiff.numChannels = static_cast<uint16_t> (stream.readShortBigEndian());
            aiff.numFrames = static_cast<uint32_t> (stream.readIntBigEndian());
            aiff.bitsPerSample = static_cast<uint16_t> (stream.readShortBigEndian());
            aiff.sampleRateHz = 0;

            // An 80-bit float, read as JUCE's reader reads it: it stops reading chunks at a rate
            // below 2 Hz or of 2^30 Hz and more, and takes the whole number of any other.
            auto* rate = aiff.sampleRate;
            stream.read (rate, sizeof (aiff.sampleRate));

            if ((rate[0] & 0x80) != 0 || rate[0] <= 0x3f || rate[0] > 0x40 || (rate[0] == 0x40 && rate[1] > 0x1c))
                return;

            aiff.sampleRateHz = static_cast<int32_t> (juce::ByteOrder::bigEndianInt (rate + 2) >> (16414 - juce::ByteOrder::bigEndianShort (rate)));
            aiff.compression = length <= 18 ? tagOf ("NONE") : stream.readInt();

            if (! isOneOf (aiff.compression, { "NONE", "twos", "sowt", "fl32", "FL32" }))
                return;
        }
        else if (chunk == tagOf ("SSND") && ! aiff.hasData)
        {
            aiff.hasData = true;
            aiff.dataOffset = stream.readIntBigEndian();
            aiff.dataStart = contentStart + 8 + aiff.dataOffset;
            aiff.dataChunkSize = length;

            // Where a streaming writer left its mark the audio is all that follows. The frame
            // size is not checked yet, and may be past what an int holds.
            const auto frameSize = juce::jmin (static_cast<juce::int64> (aiff.numChannels) * aiff.bitsPerSample / 8, juce::int64 (soxAiffMark));
            aiff.dataRunsToEnd = sizeAnnouncesNothing || (length >= 8 && isStreamingMark (length - 8, soxAiffMark, static_cast<int> (frameSize)));

            if (aiff.dataRunsToEnd)
                return;
        }
        else if (isOneOf (chunk, { "INST", "cate", "MARK", "COMT" }) && aiff.hasData && chunkEnd > fileLength)
        {
            // A copy cut short after all its audio loses nothing that is heard.
            notes.add ("its '" + nameOf (chunk) + "' chunk after the audio is cut by the end of the file");
            return;
        }
        else if (chunk == tagOf ("MARK") || chunk == tagOf ("COMT"))
        {
            // Each entry's text must end within the chunk; the pad byte of the last may be the
            // chunk's own, after it.
            const auto isMarker = chunk == tagOf ("MARK");
            const auto count = static_cast<uint16_t> (stream.readShortBigEndian());

            const auto limit = juce::jmin (chunkEnd, fileLength);

            for (int entry = 0; entry < count && damage.isEmpty(); ++entry)
            {
                const auto headerSize = isMarker ? 7 : 8;
                auto fits = stream.getPosition() + headerSize <= limit;

                if (fits)
                {
                    stream.skipNextBytes (headerSize - (isMarker ? 1 : 2));
                    const auto textSize = isMarker ? static_cast<uint8_t> (stream.readByte())
                                                   : static_cast<uint16_t> (stream.readShortBigEndian());
                    fits = stream.getPosition() + textSize <= limit;
                    stream.skipNextBytes (isMarker ? textSize + 1 - (textSize & 1) : textSize + (textSize & 1));
                }

                if (! fits)
                    damage = isMarker ? "the AIFF header is damaged: its marker chunk (MARK) announces more markers than it holds"
                                      : "the AIFF header is damaged: its comment chunk (COMT) announces more comments than it holds";
            }
        }
        else if (chunk == tagOf ("INST") || chunk == tagOf ("cate"))
        {
            // JUCE's reader takes room for the whole of these, however much of it the file holds.
            checkChunkFits (chunk, chunkEnd, fileLength, "AIFF");

            if (chunk == tagOf ("cate") && damage.isEmpty())
            {
                juce::MemoryBlock categories;
                stream.skipNextBytes (4);
                stream.readIntoMemoryBlock (categories, static_cast<ssize_t> (length) - 4);

                if (categoriesCannotBeRead (categories))
                    damage = "the AIFF header is damaged: its category chunk (cate) cannot be read";
            }
        }
        else if ((hasVersion && aiff.hasData && aiff.numCommonChunks > 0) || stream.getPosition() >= fileLength)
        {
            return;
        }

        if (damage.isNotEmpty())
            return;

        stream.setPosition (chunkEnd + (chunkEnd & 1));
    }
}

juce::String UncompressedHeaderCheck::findAiffProblem (juce::int64 fileLength)
{
    const juce::String damaged ("the AIFF header is damaged");

    if (damage.isNotEmpty())
        return damage;

    if (aiff.numCommonChunks == 0)
        return stopper.isNotEmpty() ? stopper : damaged + ": it has no common chunk (COMM)";

    if (aiff.numCommonChunks > 1)
        return damaged + ": it has " + juce::String (aiff.numCommonChunks) + " common chunks (COMM)";

    if (aiff.numChannels == 0)
        return damaged + ": it has no channels";

    if (aiff.numChannels > 2)
        return "it has " + juce::String (aiff.numChannels) + " channels; only mono and stereo files can be rendered";

    if (aiff.sampleRateHz <= 0)
        return damaged + ": its sample rate cannot be read";

    if (! isOneOf (aiff.compression, { "NONE", "twos", "sowt", "fl32", "FL32" }))
        return "its encoding (AIFF-C '" + nameOf (aiff.compression) + "') is not supported";

    // JUCE's reader divides by the size of a frame, and reads no other sample size than these.
    if (aiff.bitsPerSample == 0)
        return damaged + ": its sample size is 0 bits";

    const auto isFloat = isOneOf (aiff.compression, { "fl32", "FL32" });

    if (isFloat ? aiff.bitsPerSample != 32 : ! isReadEncoding (pcmTag, aiff.bitsPerSample))
        return "its encoding (" + describeEncoding (isFloat ? floatTag : pcmTag, aiff.bitsPerSample) + ") is not supported";

    if (! aiff.hasData)
        return aiff.numFrames == 0 ? juce::String() : stopper.isNotEmpty() ? stopper : damaged + ": it has no sound data chunk (SSND)";

    if (aiff.dataOffset < 0 || (! aiff.dataRunsToEnd && (aiff.dataChunkSize < 8 || aiff.dataOffset > static_cast<juce::int64> (aiff.dataChunkSize) - 8)))
        return damaged + ": its sound data offset (" + juce::String (aiff.dataOffset) + " bytes) lies outside its chunk (SSND)";

    // The frames the sound data chunk holds (past its offset and block size fields), and those
    // of them the file holds; where a streaming writer left its mark, those that follow. A
    // count of 0 announces nothing, as a writer that cannot seek back leaves it.
    const auto frameSize = aiff.numChannels * aiff.bitsPerSample / 8;
    const auto inFile = juce::jmax (juce::int64 (0), fileLength - aiff.dataStart) / frameSize;

    if (aiff.dataRunsToEnd)
    {
        aiff.numFrames = aiff.numFrames == 0 ? inFile : juce::jmin (aiff.numFrames, inFile);
        return {};
    }

    const auto held = (static_cast<juce::int64> (aiff.dataChunkSize) - 8 - aiff.dataOffset) / frameSize;
    const auto numFrames = aiff.numFrames == 0 ? held : aiff.numFrames;

    if (numFrames > juce::jmin (held, inFile))
        return held > inFile ? juce::String ("the file is cut short")
                             : damaged + ": its sound data chunk (SSND) holds fewer frames than its common chunk (COMM) announces";

    // The count falls short of the audio: what the chunk holds is read, all of it where the file does.
    if (numFrames < held && held <= inFile)
    {
        notes.add ("its common chunk (COMM) announces " + juce::String (numFrames) + " frames, fewer than the "
                          + juce::String (held) + " its sound data chunk (SSND) holds: all of them are read");
        aiff.numFrames = held;
        return {};
    }

    aiff.numFrames = numFrames;
    return {};
}
