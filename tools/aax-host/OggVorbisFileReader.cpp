#include "OggVorbisFileReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace
{
    /** The largest Ogg page: its header, 255 lacing values and 255 segments of 255 bytes. */
    constexpr int maxPageSize = 27 + 255 + 255 * 255;
}

OggVorbisFileReader::OggVorbisFileReader (juce::InputStream* stream)
    : juce::AudioFormatReader (stream, "Ogg-Vorbis file")
{
    findLastPage();

    const ov_callbacks callbacks { readBytes, seekTo, nullptr, tellPosition };
    opened = input->setPosition (0) && ov_open_callbacks (this, &file, nullptr, 0, callbacks) == 0;

    if (! opened)
        return;

    // Finding the links of a chain leaves the decoder where the search stopped, which may lie
    // past a short first link.
    if (ov_pcm_seek (&file, 0) != 0)
    {
        ov_clear (&file);
        opened = false;
        return;
    }

    const auto* info = ov_info (&file, -1);
    sampleRate = static_cast<double> (info->rate);
    numChannels = static_cast<unsigned int> (info->channels);
    bitsPerSample = 32;
    usesFloatingPointData = true;
    lengthInSamples = juce::jmax (ogg_int64_t (0), ov_pcm_total (&file, -1));
}

OggVorbisFileReader::~OggVorbisFileReader()
{
    if (opened)
        ov_clear (&file);
}

std::unique_ptr<juce::AudioFormatReader> OggVorbisFileReader::create (std::unique_ptr<juce::InputStream> stream, juce::String& error)
{
    error.clear();

    if (stream == nullptr)
        return {};

    std::unique_ptr<OggVorbisFileReader> reader (new OggVorbisFileReader (stream.release()));

    // One that begins as a Vorbis stream and cannot be opened has its headers damaged or cut.
    if (! reader->opened)
    {
        if (firstPacketBegins (*reader->input, "\x01vorbis", 7))
            error = reader->lastPageEndsStream ? "the file is damaged: its Vorbis headers cannot be read" : "the file is cut short";
        else if (firstPacketBegins (*reader->input, "\x7f" "FLAC", 5))
            error = "its encoding (Ogg FLAC) is not supported";

        return {};
    }

    // The reader announces the length up to the last whole page, so a file cut anywhere
    // would pass for a shorter whole one.
    if (! reader->lastPageEndsStream)
    {
        error = "the file is cut short";
        return {};
    }

    for (int link = 1; link < ov_streams (&reader->file); ++link)
    {
        if (ov_info (&reader->file, link)->channels != static_cast<int> (reader->numChannels)
             || ov_info (&reader->file, link)->rate != static_cast<long> (reader->sampleRate))
        {
            error = "its chained streams differ in channels or sample rate";
            return {};
        }
    }

    return reader;
}

bool OggVorbisFileReader::firstPacketBegins (juce::InputStream& stream, const char* mark, size_t size)
{
    uint8_t start[27 + 255 + 8] {};
    const auto read = stream.setPosition (0) ? stream.read (start, sizeof (start)) : 0;
    const auto packet = 27 + start[26];
    return read >= packet + static_cast<int> (size) && std::memcmp (start, "OggS", 4) == 0 && std::memcmp (start + packet, mark, size) == 0;
}

void OggVorbisFileReader::findLastPage()
{
    // The last whole page is looked for from the end back, two pages' worth of bytes at a time:
    // windows that overlap by a page, so that every page lies whole in one of them.
    ogg_sync_state sync;
    ogg_sync_init (&sync);

    for (auto windowEnd = input->getTotalLength(); streamEnd == 0 && windowEnd > 0; windowEnd -= maxPageSize)
    {
        const auto windowStart = juce::jmax (juce::int64 (0), windowEnd - 2 * maxPageSize);
        const auto size = static_cast<int> (windowEnd - windowStart);
        ogg_sync_reset (&sync);
        auto* buffer = ogg_sync_buffer (&sync, size);
        const auto read = input->setPosition (windowStart) ? input->read (buffer, size) : 0;
        ogg_sync_wrote (&sync, juce::jmax (0, read));
        ogg_page page;
        auto at = windowStart;

        for (long found; (found = ogg_sync_pageseek (&sync, &page)) != 0; at += std::abs (found))
        {
            if (found > 0)
            {
                streamEnd = at + found;
                lastPageEndsStream = ogg_page_eos (&page) != 0;
            }
        }

        if (windowStart == 0)
            break;
    }

    ogg_sync_clear (&sync);
}

bool OggVorbisFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                       juce::int64 startSampleInFile, int numSamples)
{
    clearSamplesBeyondAvailableLength (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile,
                                       numSamples, lengthInSamples);

    if (numSamples <= 0)
        return true;

    if (startSampleInFile != nextSample)
        return false;

    while (numSamples > 0)
    {
        float** samples = nullptr;
        int link = 0;
        const auto count = static_cast<int> (ov_read_float (&file, &samples, numSamples, &link));

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
    const auto left = juce::jmax (juce::int64 (0), reader.streamEnd - reader.input->getPosition());
    const auto bytes = juce::jmin (size * count, size_t (1) << 20, static_cast<size_t> (left));
    return size > 0 ? static_cast<size_t> (juce::jmax (0, reader.input->read (buffer, static_cast<int> (bytes)))) / size : 0;
}

int OggVorbisFileReader::seekTo (void* client, ogg_int64_t offset, int origin)
{
    auto& reader = *static_cast<OggVorbisFileReader*> (client);
    const auto base = origin == SEEK_CUR ? reader.input->getPosition() : origin == SEEK_END ? reader.streamEnd : 0;
    return reader.input->setPosition (base + offset) ? 0 : -1;
}

long OggVorbisFileReader::tellPosition (void* client)
{
    return static_cast<long> (static_cast<OggVorbisFileReader*> (client)->input->getPosition());
}
