#include <benchmark/benchmark.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include "OggVorbisFileReader.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace
{
    constexpr int toneLength = 441;

    /** A stream of 10 ms of a stereo tone at 44.1 kHz, as JUCE's writer makes it. */
    juce::MemoryBlock shortStream()
    {
        juce::AudioBuffer<float> audio (2, toneLength);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < audio.getNumSamples(); ++i)
                audio.setSample (channel, i, 0.3f * std::sin (0.05f * static_cast<float> (i)));

        juce::MemoryBlock stream;
        std::unique_ptr<juce::AudioFormatWriter> writer (juce::OggVorbisAudioFormat().createWriterFor (
            new juce::MemoryOutputStream (stream, false), 44100.0, 2, 16, {}, 0));

        if (writer != nullptr)
            writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());

        return stream;
    }

    /** Opens the file held in memory and reads it whole; false where it cannot be, or where it
        holds other than the samples expected.
    */
    bool readWhole (const juce::MemoryBlock& file, juce::int64 expectedLength)
    {
        juce::String error;
        juce::StringArray notes;
        const auto reader = OggVorbisFileReader::create (std::make_unique<juce::MemoryInputStream> (file, false), error, notes);

        if (reader == nullptr || reader->lengthInSamples != expectedLength)
            return false;

        juce::AudioBuffer<float> block (static_cast<int> (reader->numChannels), 4096);

        try
        {
            for (juce::int64 at = 0; at < reader->lengthInSamples; at += block.getNumSamples())
                if (! reader->read (&block, 0, static_cast<int> (juce::jmin<juce::int64> (block.getNumSamples(), reader->lengthInSamples - at)), at, true, true))
                    return false;
        }
        catch (const std::runtime_error&)
        {
            return false;
        }

        return true;
    }

    /** A stream followed by bytes that look like the starts of pages, which the reader passes
        over unread. Argument: megabytes after the stream.
    */
    void oggFollowedByPageStarts (benchmark::State& state)
    {
        auto file = shortStream();
        juce::MemoryOutputStream tail (file, true);

        for (juce::int64 i = 0; i < state.range (0) << 18; ++i)
            tail.write ("OggS", 4);

        tail.flush();

        for (auto _ : state)
            if (! readWhole (file, toneLength))
                state.SkipWithError ("the file could not be read");
    }

    /** A chain of short links, each with a serial number of its own, read link by link.
        Argument: links.
    */
    void oggChainOfShortLinks (benchmark::State& state)
    {
        auto link = shortStream();
        juce::MemoryOutputStream chain;
        auto* bytes = static_cast<unsigned char*> (link.getData());

        for (juce::int64 serial = 1; serial <= state.range (0); ++serial)
        {
            for (size_t at = 0; at < link.getSize();)
            {
                ogg_page page { bytes + at, 27 + bytes[at + 26], bytes + at + 27 + bytes[at + 26], 0 };

                for (int segment = 0; segment < bytes[at + 26]; ++segment)
                    page.body_len += bytes[at + 27 + segment];

                const auto field = juce::ByteOrder::swapIfBigEndian (static_cast<uint32_t> (serial));
                std::memcpy (bytes + at + 14, &field, 4);
                ogg_page_checksum_set (&page);
                at += static_cast<size_t> (page.header_len + page.body_len);
            }

            chain << link;
        }

        const auto file = chain.getMemoryBlock();

        for (auto _ : state)
            if (! readWhole (file, toneLength * state.range (0)))
                state.SkipWithError ("the file could not be read");

        state.SetItemsProcessed (state.iterations() * state.range (0));
    }
}

BENCHMARK (oggFollowedByPageStarts)->Arg (0)->Arg (16)->Arg (64)->Unit (benchmark::kMillisecond);
BENCHMARK (oggChainOfShortLinks)->Arg (100)->Arg (1000)->Arg (4000)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
