#include "FlacFileReader.h"

#include <algorithm>
#include <stdexcept>

FlacFileReader::FlacFileReader (juce::InputStream* stream)
    : juce::AudioFormatReader (stream, "FLAC file"), decoder (FLAC__stream_decoder_new())
{
    if (decoder == nullptr || ! start() || sampleRate <= 0.0 || lengthInSamples > 0)
        return;

    // A stream that was written where its header could not be updated gives no length: the
    // file is decoded once to count its samples, as JUCE's reader does, and what is wrong with
    // its audio is found then.
    counting = true;
    FLAC__uint64 metadataEnd = 0;
    FLAC__stream_decoder_get_decode_position (decoder, &metadataEnd);
    audioEnd = static_cast<juce::int64> (metadataEnd);

    while (! damaged && FLAC__stream_decoder_get_state (decoder) < FLAC__STREAM_DECODER_END_OF_STREAM
            && FLAC__stream_decoder_process_single (decoder))
    {
    }

    counting = false;

    if (lostSync && ! damaged)
        classifyWhatFollowsTheAudio();

    if (damaged || lostSync)
        return;

    const auto length = lengthInSamples;

    if (! start())
        sampleRate = 0.0;

    lengthInSamples = length;
}

bool FlacFileReader::start()
{
    // Decoding checks the audio against its MD5 signature, where the file has one, once it ends.
    if (FLAC__stream_decoder_get_state (decoder) != FLAC__STREAM_DECODER_UNINITIALIZED)
        FLAC__stream_decoder_finish (decoder);

    FLAC__stream_decoder_set_md5_checking (decoder, true);
    nextFrameStart = streamStart = lastFrameLength = 0;
    framesBegun = false;
    lastFramePosition = ~FLAC__uint64 (0);

    return FLAC__stream_decoder_init_stream (decoder, readBytes, seekTo, tellPosition, tellLength, isAtEnd, takeFrame,
                                             takeMetadata, takeError, this) == FLAC__STREAM_DECODER_INIT_STATUS_OK
        && input->setPosition (0) && FLAC__stream_decoder_process_until_end_of_metadata (decoder);
}

FlacFileReader::~FlacFileReader()
{
    if (decoder != nullptr)
        FLAC__stream_decoder_delete (decoder);
}

std::unique_ptr<juce::AudioFormatReader> FlacFileReader::create (std::unique_ptr<juce::InputStream> stream, juce::String& error)
{
    error.clear();

    if (stream == nullptr)
        return {};

    std::unique_ptr<FlacFileReader> reader (new FlacFileReader (stream.release()));

    // A file whose stream information block could not be read is no FLAC file.
    if (reader->sampleRate <= 0.0)
        return {};

    if (reader->damaged || reader->lostSync)
    {
        error = reader->damaged ? reader->damage (reader->lengthInSamples).what() : "the file is cut short";
        return {};
    }

    return reader;
}

void FlacFileReader::classifyWhatFollowsTheAudio()
{
    uint8_t bytes[65536];
    auto read = input->setPosition (audioEnd) ? input->read (bytes, sizeof (bytes)) : 0;

    // A frame's sync code where the last frame ended begins a frame the file lost the rest of.
    if (read > 0 && bytes[0] == 0xff)
        return;

    // Zeros, as a writer that reserved room or a file system leaves them, end the audio as the
    // end of the file would; any other byte is one that no decoder can read as audio.
    for (; read > 0; read = input->read (bytes, sizeof (bytes)))
    {
        if (! std::all_of (bytes, bytes + read, [] (uint8_t byte) { return byte == 0; }))
        {
            damaged = true;
            return;
        }
    }

    lostSync = false;
}

std::runtime_error FlacFileReader::damage (juce::int64 sample) const
{
    return std::runtime_error ("the file is damaged: " + (cause.isNotEmpty() ? cause : juce::String ("its audio cannot be decoded")).toStdString()
                               + " after " + juce::String (static_cast<double> (cause.isNotEmpty() ? causeAt : sample) / sampleRate, 2).toStdString() + " s");
}

bool FlacFileReader::decodeFrame()
{
    blockLength = blockPosition = 0;

    while (blockLength == 0 && FLAC__stream_decoder_get_state (decoder) < FLAC__STREAM_DECODER_END_OF_STREAM)
    {
        if (! FLAC__stream_decoder_process_single (decoder))
            break;

        // A loss of sync with no frame after it is where a file was cut, and the samples that
        // are missing tell; every other error is damage.
        if (damaged)
            throw damage (nextSample);
    }

    return blockLength > 0;
}

bool FlacFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                  juce::int64 startSampleInFile, int numSamples)
{
    clearSamplesBeyondAvailableLength (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile,
                                       numSamples, lengthInSamples);

    if (numSamples <= 0)
        return true;

    if (startSampleInFile == 0 && nextSample != 0)
        restart();

    if (startSampleInFile != nextSample)
        return false;

    while (numSamples > 0)
    {
        if (blockPosition == blockLength && ! decodeFrame())
            throw std::runtime_error ("the file is cut short");

        const auto count = juce::jmin (numSamples, blockLength - blockPosition);

        for (int channel = 0; channel < numDestChannels; ++channel)
            if (destChannels[channel] != nullptr)
                std::copy_n (block.get() + channel * blockCapacity + blockPosition, count, destChannels[channel] + startOffsetInDestBuffer);

        blockPosition += count;
        startOffsetInDestBuffer += count;
        numSamples -= count;
        nextSample += count;
    }

    // The signature covers the whole audio, whose last frame has now been decoded.
    if (nextSample == lengthInSamples && blockPosition == blockLength && ! FLAC__stream_decoder_finish (decoder))
        throw std::runtime_error ("the file is damaged: its audio does not match its MD5 signature");

    return true;
}

void FlacFileReader::restart()
{
    // The file is read as what it was found to be when it was opened: one that has changed
    // since fails as damaged where its frames no longer fit.
    const auto rate = sampleRate;
    const auto channels = numChannels;
    const auto bits = bitsPerSample;
    const auto length = lengthInSamples;
    damaged = lostSync = false;
    cause.clear();
    blockLength = blockPosition = 0;
    nextSample = 0;

    if (! start())
        damaged = true;

    sampleRate = rate;
    numChannels = channels;
    bitsPerSample = bits;
    lengthInSamples = length;

    if (damaged)
        throw damage (0);
}

//==============================================================================
FLAC__StreamDecoderReadStatus FlacFileReader::readBytes (const FLAC__StreamDecoder*, FLAC__byte* buffer, size_t* size, void* reader)
{
    auto& input = *static_cast<FlacFileReader*> (reader)->input;
    *size = static_cast<size_t> (juce::jmax (0, input.read (buffer, static_cast<int> (juce::jmin (*size, size_t (1) << 20)))));
    return *size > 0 ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderSeekStatus FlacFileReader::seekTo (const FLAC__StreamDecoder*, FLAC__uint64 position, void* reader)
{
    return static_cast<FlacFileReader*> (reader)->input->setPosition (static_cast<juce::int64> (position))
             ? FLAC__STREAM_DECODER_SEEK_STATUS_OK : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus FlacFileReader::tellPosition (const FLAC__StreamDecoder*, FLAC__uint64* position, void* reader)
{
    *position = static_cast<FLAC__uint64> (static_cast<FlacFileReader*> (reader)->input->getPosition());
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus FlacFileReader::tellLength (const FLAC__StreamDecoder*, FLAC__uint64*, void*)
{
    return FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
}

FLAC__bool FlacFileReader::isAtEnd (const FLAC__StreamDecoder*, void*)
{
    return false;
}

FLAC__StreamDecoderWriteStatus FlacFileReader::takeFrame (const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                          const FLAC__int32* const* samples, void* client)
{
    auto& reader = *static_cast<FlacFileReader*> (client);
    const auto length = static_cast<int> (frame->header.blocksize);

    // A frame found after a loss of sync follows bytes that could not be decoded; one whose
    // channels or rate are not the stream's cannot be read as the stream's audio, and one
    // whose number is not the next one's repeats audio or follows a hole.
    // What libFLAC hands out in place of a frame it reported damaged is none of the file's.
    if (reader.damaged)
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;

    // It hands out silence too for a frame its successor's number shows missing, read from no
    // bytes of its own: the two come from one place.
    const auto first = frame->header.number_type == FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER ? frame->header.number.sample_number
                                                                                         : reader.nextFrameStart;

    // A stream captured from the middle, or numbered on from an earlier part, begins where its
    // first frame does (libFLAC gives a frame number as the sample number it stands for).
    if (! reader.framesBegun)
        reader.nextFrameStart = reader.streamStart = first;

    reader.framesBegun = true;
    FLAC__uint64 position = 0;
    FLAC__stream_decoder_get_decode_position (reader.decoder, &position);
    const auto followsHole = position == reader.lastFramePosition;

    const auto cause = frame->header.channels != reader.numChannels ? "its number of channels changes to " + juce::String (frame->header.channels)
                     : frame->header.sample_rate != static_cast<unsigned int> (reader.sampleRate)
                         ? "its sample rate changes to " + juce::String (frame->header.sample_rate) + " Hz"
                     : first < reader.nextFrameStart ? juce::String ("a frame repeats audio")
                     : first > reader.nextFrameStart || followsHole ? juce::String ("a frame is missing")
                                                                     : juce::String();

    if (reader.lostSync || cause.isNotEmpty())
    {
        reader.cause = cause;
        reader.causeAt = static_cast<juce::int64> (reader.nextFrameStart - reader.streamStart - (followsHole ? reader.lastFrameLength : 0));
        reader.damaged = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    reader.nextFrameStart += static_cast<FLAC__uint64> (length);
    reader.lastFramePosition = position;
    reader.lastFrameLength = static_cast<FLAC__uint64> (length);

    if (reader.counting)
    {
        FLAC__uint64 frameEnd = 0;
        FLAC__stream_decoder_get_decode_position (reader.decoder, &frameEnd);
        reader.audioEnd = static_cast<juce::int64> (frameEnd);
        reader.lengthInSamples += length;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    if (length > reader.blockCapacity)
    {
        reader.block.malloc (static_cast<size_t> (length) * reader.numChannels);
        reader.blockCapacity = length;
    }

    // Left-aligned in 32 bits, as JUCE hands out integer samples; shifted unsigned, since a
    // negative number may not be shifted left.
    const auto shift = 32 - static_cast<int> (frame->header.bits_per_sample);

    for (unsigned int channel = 0; channel < reader.numChannels; ++channel)
        for (int i = 0; i < length; ++i)
            reader.block[static_cast<int> (channel) * reader.blockCapacity + i] = static_cast<int> (static_cast<uint32_t> (samples[channel][i]) << shift);

    reader.blockLength = length;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacFileReader::takeMetadata (const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* client)
{
    if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO)
        return;

    auto& reader = *static_cast<FlacFileReader*> (client);
    const auto& info = metadata->data.stream_info;
    reader.sampleRate = info.sample_rate;
    reader.numChannels = info.channels;
    reader.bitsPerSample = info.bits_per_sample;
    reader.lengthInSamples = static_cast<juce::int64> (info.total_samples);
}

void FlacFileReader::takeError (const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status, void* client)
{
    auto& reader = *static_cast<FlacFileReader*> (client);
    (status == FLAC__STREAM_DECODER_ERROR_STATUS_LOST_SYNC ? reader.lostSync : reader.damaged) = true;
}
