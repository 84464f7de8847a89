#include "OggVorbisFileReader.h"

#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

namespace
{
    const char* const damagedHeaders = "the file is damaged: its Vorbis headers cannot be read";

    /** A length in samples that no file reaches, and that the lengths of a chain's links can be
        added up to without overflowing.
    */
    constexpr juce::int64 maxLength = juce::int64 (1) << 60;
}

//==============================================================================
/** The pages of an Ogg file, found one after the other from its start as libogg finds them
    (the capture pattern "OggS", then the page's checksum), passing over the bytes between
    them that are no page however many there are. Each candidate costs at most a page's
    checksum, so the search takes time linear in the file, and memory bounded by the longest
    page; one of another version than 0, which libogg takes no page of, is passed over
    unchecked, so that a run of capture patterns costs no checksums at all.
*/
class OggVorbisFileReader::PageSearch
{
public:
    explicit PageSearch (juce::InputStream& in) : input (in) {}

    /** Starts again at the start of the file, and ends the pages at this byte. */
    bool startOver (juce::int64 endOfPages)
    {
        end = endOfPages;
        offset = 0;
        start = filled = 0;
        cutAtEnd = false;
        return input.setPosition (0);
    }

    /** Finds the next page, which stays where it is until the next search; false where the
        bytes end first. skipped counts the bytes passed over before the page (or the end).
    */
    bool next (ogg_page& page, juce::int64& skipped)
    {
        skipped = 0;
        cutAtEnd = false;

        while (isAvailable (27))
        {
            if (std::memcmp (buffer + start, "OggS", 4) == 0 && buffer[start + 4] == 0)
            {
                const auto headerSize = 27 + buffer[start + 26];
                auto bodySize = 0;

                if (isAvailable (headerSize))
                    for (auto i = 27; i < headerSize; ++i)
                        bodySize += buffer[start + i];

                if (isAvailable (headerSize + bodySize))
                {
                    page = { buffer + start, headerSize, buffer + start + headerSize, bodySize };

                    if (hasItsChecksum (page))
                    {
                        start += headerSize + bodySize;
                        return true;
                    }
                }
                else
                {
                    cutAtEnd = cutAtEnd || skipped == 0;
                }
            }

            const auto* capture = static_cast<const unsigned char*> (std::memchr (buffer + start + 1, 'O', static_cast<size_t> (filled - start - 1)));
            const auto nextStart = capture != nullptr ? static_cast<int> (capture - buffer) : filled;
            skipped += nextStart - start;
            start = nextStart;
        }

        cutAtEnd = cutAtEnd || skipped == 0;
        skipped += filled - start;
        start = filled;
        return false;
    }

    /** True where the bytes after the last page found begin with a page that the end of the
        file cuts, or are too few to begin one: the file was cut there.
    */
    bool endsInCutPage() const noexcept     { return cutAtEnd; }

private:
    /** Makes this many bytes from the search's place readable in the buffer; false where the
        pages end first.
    */
    bool isAvailable (int size)
    {
        if (filled - start >= size)
            return true;

        std::memmove (buffer, buffer + start, static_cast<size_t> (filled - start));
        offset += start;
        filled -= start;
        start = 0;

        while (filled < size)
        {
            const auto wanted = static_cast<int> (juce::jmin (static_cast<juce::int64> (capacity - filled), end - offset - filled));
            const auto read = wanted > 0 ? input.read (buffer + filled, wanted) : 0;

            if (read <= 0)
                return false;

            filled += read;
        }

        return true;
    }

    static bool hasItsChecksum (ogg_page& page)
    {
        unsigned char written[4];
        std::memcpy (written, page.header + 22, 4);
        ogg_page_checksum_set (&page);

        if (std::memcmp (written, page.header + 22, 4) == 0)
            return true;

        std::memcpy (page.header + 22, written, 4);
        return false;
    }

    /** Twice the longest page, so that each move of a page's worth to the front reads as
        much again.
    */
    static constexpr int capacity = 2 * 65536;

    juce::InputStream& input;
    juce::HeapBlock<unsigned char> buffer { capacity };
    juce::int64 end = 0, offset = 0;   ///< where the pages end, and where the buffer's first byte lies
    int start = 0, filled = 0;
    bool cutAtEnd = false;
};

//==============================================================================
/** The Vorbis stream of one link of a chain, followed page by page as libvorbisfile follows
    it: its three headers, then the block sizes of its packets, which tell where its audio
    starts (at its first audio page with a granule position) and, at each page after it,
    whether the packets hold every sample up to the page's granule position. Page numbers
    that jump over packets that are all there lose nothing; a page that is missing with its
    packets does. Its setup is let go when the link ends, so a walk through a chain holds one
    link's setup at a time.
*/
class OggVorbisFileReader::VorbisLink
{
public:
    VorbisLink()
    {
        ogg_stream_init (&stream, 0);
        vorbis_info_init (&info);
        vorbis_comment_init (&comment);
    }

    ~VorbisLink()
    {
        letGoOfSetup();
    }

    /** Takes a page that begins a stream of the link; true when it begins a Vorbis stream,
        which the link then follows.
    */
    bool begin (ogg_page& page)
    {
        ogg_stream_reset_serialno (&stream, ogg_page_serialno (&page));
        ogg_stream_pagein (&stream, &page);
        ogg_packet packet;

        if (ogg_stream_packetout (&stream, &packet) <= 0 || ! vorbis_synthesis_idheader (&packet))
            return false;

        serial = ogg_page_serialno (&page);
        lastPageNumber = ogg_page_pageno (&page);
        isVorbis = true;
        damaged = vorbis_synthesis_headerin (&info, &comment, &packet) != 0;
        numChannels = info.channels;
        sampleRate = info.rate;
        numHeaders = 1;
        ended = ogg_page_eos (&page) != 0;
        return true;
    }

    /** Takes a page of the link that begins no stream; those of other streams are passed over. */
    void take (ogg_page& page)
    {
        if (! isVorbis || ended || damaged || ogg_page_serialno (&page) != serial)
            return;

        const auto granule = ogg_page_granulepos (&page);
        ended = ogg_page_eos (&page) != 0;

        // A decoder reports the jump as a hole, where it loses nothing if no packet is missing.
        pagesJumped = pagesJumped || (numHeaders == 3 && ogg_page_pageno (&page) != lastPageNumber + 1);
        lastPageNumber = ogg_page_pageno (&page);

        const auto headersWereRead = numHeaders == 3;
        ogg_stream_pagein (&stream, &page);
        ogg_packet packet;

        for (int result; (result = ogg_stream_packetout (&stream, &packet)) != 0;)
        {
            if (numHeaders < 3)
            {
                damaged = result < 0 || vorbis_synthesis_headerin (&info, &comment, &packet) != 0;

                if (damaged)
                    return;

                ++numHeaders;
            }
            else if (const auto block = result > 0 ? vorbis_packet_blocksize (&info, &packet) : -1; block >= 0)
            {
                lastPacketSamples = lastBlock >= 0 ? (lastBlock + block) / 4 : 0;
                decoded += lastPacketSamples;
                lastBlock = block;
            }
        }

        // A position below 0 is none (-1) or no position at all.
        if (granule >= 0)
        {
            // The granule position of a stream's first audio page counts the samples up to its
            // last packet: a stream that begins later than 0 counts from there, and one that
            // counts fewer than its packets make has those cut from its start (or, where that
            // page is also its last, from its end), so its start lies before 0. The decoder
            // cuts them from what its last packet makes, the others being handed out already.
            // Every later page counts as many as its packets make, but the last, which may
            // count fewer. One that counts more after page numbers jumped follows pages lost;
            // without a jump it announces audio the file never held, as the reading tells.
            if (! startKnown && headersWereRead)
            {
                start = ended ? juce::jmax (ogg_int64_t (0), granule - decoded) : granule - decoded;
                cut = juce::jlimit (ogg_int64_t (0), ogg_int64_t (lastPacketSamples), -start);
                startKnown = true;
            }
            else if (startKnown && ! missing && (ended ? pagesJumped && granule > start + decoded : granule != start + decoded))
            {
                missing = true;
                lostAfter = lastGranule - start - cut;
            }

            lastGranule = granule;
        }

        if (ended)
            letGoOfSetup();
    }

    /** True where pages are missing with their packets, and the samples before them. */
    bool losesAudio() const noexcept            { return missing; }
    juce::int64 getSamplesBeforeLoss() const noexcept  { return static_cast<juce::int64> (lostAfter); }
    /** True where page numbers jump, every packet there or not. */
    bool hasPagesJumped() const noexcept        { return pagesJumped; }

    bool isVorbisStream() const noexcept        { return isVorbis; }
    int getSerial() const noexcept              { return serial; }
    bool isDamaged() const noexcept             { return damaged; }
    bool hasEnded() const noexcept              { return ended; }
    bool hasAllHeaders() const noexcept         { return numHeaders == 3; }
    int getNumChannels() const noexcept         { return numChannels; }
    long getSampleRate() const noexcept         { return sampleRate; }

    /** The samples that decoding the link gives. */
    juce::int64 getLength() const noexcept
    {
        return startKnown ? juce::jlimit (juce::int64 (0), maxLength, static_cast<juce::int64> (lastGranule - start - cut)) : 0;
    }

private:
    void letGoOfSetup()
    {
        // Each of these may be cleared again.
        ogg_stream_clear (&stream);
        vorbis_comment_clear (&comment);
        vorbis_info_clear (&info);
    }

    ogg_stream_state stream {};
    vorbis_info info {};
    vorbis_comment comment {};
    int serial = 0, numHeaders = 0, numChannels = 0;
    long sampleRate = 0, lastBlock = -1, lastPacketSamples = 0, lastPageNumber = 0;
    ogg_int64_t decoded = 0, start = 0, cut = 0, lastGranule = 0, lostAfter = 0;   ///< cut: the samples the decoder cuts from the start
    bool isVorbis = false, damaged = false, ended = false, startKnown = false, missing = false, pagesJumped = false;
};

//==============================================================================
OggVorbisFileReader::OggVorbisFileReader (juce::InputStream* stream)
    : juce::AudioFormatReader (stream, "Ogg-Vorbis file")
{
    bitsPerSample = 32;
    usesFloatingPointData = true;
}

OggVorbisFileReader::~OggVorbisFileReader()
{
    if (opened)
        ov_clear (&file);
}

std::unique_ptr<juce::AudioFormatReader> OggVorbisFileReader::create (std::unique_ptr<juce::InputStream> stream, juce::String& error,
                                                                     juce::StringArray& notes)
{
    error.clear();

    if (stream == nullptr)
        return {};

    std::unique_ptr<OggVorbisFileReader> reader (new OggVorbisFileReader (stream.release()));
    error = reader->walkPages (notes);

    if (error.isNotEmpty() || reader->numChannels == 0)
        return {};

    if (! reader->openDecoder())
    {
        error = damagedHeaders;
        return {};
    }

    return reader;
}

juce::String OggVorbisFileReader::walkPages (juce::StringArray& notes)
{
    // Every page is found however many bytes lie before it: stray bytes between pages are
    // passed over, as every decoder does, and counted.
    PageSearch search (*input);

    if (! search.startOver (std::numeric_limits<juce::int64>::max()))
        return {};

    // Where pages are missing with their packets, samples are; where only their numbers
    // jump, the decoder's report of a hole loses nothing.
    const auto checkLoss = [this, &notes] (const VorbisLink& checked, juce::int64 before) -> juce::String
    {
        if (checked.losesAudio())
            return "the file is damaged: its audio has a hole after "
                 + juce::String (static_cast<double> (before + checked.getSamplesBeforeLoss()) / sampleRate, 2) + " s";

        if (checked.hasPagesJumped())
            notes.addIfNotAlreadyThere ("its page numbers jump where no audio is missing");

        return {};
    };

    std::optional<VorbisLink> link;
    auto linkBegins = true;   // while the pages that begin the streams of a link come
    juce::int64 length = 0;
    ogg_page page;
    juce::int64 stray = 0;
    auto found = false;

    while ((found = search.next (page, stray)))
    {
        // Stray bytes between pages are passed over, as every decoder does: where they stand for
        // a page that is lost, the granule positions after them tell.
        const auto strayBefore = stray;

        if (strayBefore > 0)
        {
            if (link.has_value())
                notes.add (juce::String (strayBefore) + " stray byte" + (strayBefore == 1 ? "" : "s") + " between its pages at byte "
                             + juce::String (streamEnd) + " passed over");

            streamEnd += strayBefore;
        }

        if (ogg_page_bos (&page) != 0)
        {
            // A page that begins a stream after others that do not begins the next link.
            if (! linkBegins || ! link.has_value())
            {
                if (link.has_value() && ! link->hasAllHeaders())
                    return damagedHeaders;

                // Where the link before was cut off by bytes that are no page, its last page is lost.
                if (link.has_value() && strayBefore > 0 && ! link->hasEnded())
                    return "the file is damaged: a link of its chain ends in bytes that are no page";

                if (const auto loss = link.has_value() ? checkLoss (*link, length) : juce::String(); loss.isNotEmpty())
                    return loss;

                // A decoder tells the links of a chain apart by their streams' serial numbers.
                if (link.has_value() && ogg_page_serialno (&page) == link->getSerial())
                    return "the file is damaged: two of its chained streams have one serial number";

                length = juce::jmin (maxLength, length + (link.has_value() ? link->getLength() : 0));
                link.emplace();
                linkBegins = true;
            }

            if (! link->isVorbisStream() && link->begin (page))
            {
                if (link->isDamaged())
                    return damagedHeaders;

                if (numChannels == 0)
                {
                    numChannels = static_cast<unsigned int> (link->getNumChannels());
                    sampleRate = static_cast<double> (link->getSampleRate());
                }
                else if (link->getNumChannels() != static_cast<int> (numChannels) || link->getSampleRate() != static_cast<long> (sampleRate))
                {
                    return "its chained streams differ in channels or sample rate";
                }
            }
        }
        else
        {
            // A link whose streams have all begun without a Vorbis one cannot be decoded.
            if (! link.has_value() || ! link->isVorbisStream())
                break;

            linkBegins = false;
            link->take (page);

            if (link->isDamaged())
                return damagedHeaders;
        }

        streamEnd += page.header_len + page.body_len;
    }

    if (! link.has_value() || ! link->isVorbisStream())
    {
        if (numChannels != 0 || firstPacketBegins (*input, "\x01vorbis", 7))
        {
            numChannels = 0;
            return ! found && search.endsInCutPage() ? "the file is cut short" : damagedHeaders;
        }

        if (firstPacketBegins (*input, "\x7f" "FLAC", 5))
            return "its encoding (Ogg FLAC) is not supported";

        return {};
    }

    // The pages of the last stream stop before its end: the file was cut, or its last page
    // is damaged, and whatever follows is not where its audio went on.
    if (! link->hasEnded())
        return search.endsInCutPage() ? "the file is cut short" : "the file is damaged: its last stream ends in bytes that are no page";

    if (! link->hasAllHeaders())
        return damagedHeaders;

    if (const auto loss = checkLoss (*link, length); loss.isNotEmpty())
        return loss;

    lengthInSamples = juce::jmin (maxLength, length + link->getLength());
    return {};
}

bool OggVorbisFileReader::openDecoder()
{
    if (opened)
        ov_clear (&file);

    if (decoderPages == nullptr)
        decoderPages = std::make_unique<PageSearch> (*input);

    pageLeft = 0;
    const ov_callbacks callbacks { readBytes, nullptr, nullptr, nullptr };
    opened = decoderPages->startOver (streamEnd) && ov_open_callbacks (this, &file, nullptr, 0, callbacks) == 0;
    nextSample = 0;
    return opened;
}

bool OggVorbisFileReader::firstPacketBegins (juce::InputStream& stream, const char* mark, size_t size)
{
    uint8_t start[27 + 255 + 8] {};
    const auto read = stream.setPosition (0) ? stream.read (start, sizeof (start)) : 0;
    const auto packet = 27 + start[26];
    return read >= packet + static_cast<int> (size) && std::memcmp (start, "OggS", 4) == 0 && std::memcmp (start + packet, mark, size) == 0;
}

bool OggVorbisFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                       juce::int64 startSampleInFile, int numSamples)
{
    clearSamplesBeyondAvailableLength (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile,
                                       numSamples, lengthInSamples);

    if (numSamples <= 0)
        return true;

    if (startSampleInFile == 0 && nextSample != 0 && ! openDecoder())
        throw std::runtime_error (damagedHeaders);

    if (startSampleInFile != nextSample)
        return false;

    while (numSamples > 0)
    {
        float** samples = nullptr;
        const auto count = static_cast<int> (ov_read_float (&file, &samples, numSamples, nullptr));

        // Reading a stream that cannot seek, libvorbisfile hands in the page that ends the next
        // link's headers twice, and reports the second as a hole: none of its audio is lost.
        // Nor is any where page numbers jump: the walk through the pages found every sample.
        if (count == OV_HOLE)
            continue;

        if (count == 0)
            throw std::runtime_error ("the file is cut short");

        if (count < 0)
            throw std::runtime_error ("the file is damaged: its audio cannot be decoded after "
                                      + juce::String (static_cast<double> (nextSample) / sampleRate, 2).toStdString() + " s");

        for (int channel = 0; channel < numDestChannels; ++channel)
            if (destChannels[channel] != nullptr)
                std::memcpy (reinterpret_cast<float*> (destChannels[channel]) + startOffsetInDestBuffer, samples[channel],
                             sizeof (float) * static_cast<size_t> (count));

        startOffsetInDestBuffer += count;
        numSamples -= count;
        nextSample += count;
    }

    return true;
}

//==============================================================================
size_t OggVorbisFileReader::readBytes (void* buffer, size_t size, size_t count, void* client)
{
    auto& reader = *static_cast<OggVorbisFileReader*> (client);

    if (size == 0)
        return 0;

    if (reader.pageLeft == 0)
    {
        ogg_page page;
        juce::int64 skipped = 0;

        if (! reader.decoderPages->next (page, skipped))
            return 0;

        // A page's body follows its header.
        reader.pageBytes = page.header;
        reader.pageLeft = page.header_len + page.body_len;
    }

    const auto bytes = juce::jmin (size * count, static_cast<size_t> (reader.pageLeft)) / size * size;
    std::memcpy (buffer, reader.pageBytes, bytes);
    reader.pageBytes += bytes;
    reader.pageLeft -= static_cast<int> (bytes);
    return bytes / size;
}
