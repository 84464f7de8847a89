#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <ogg/ogg.h>

#include "AtomicFileWriter.h"
#include "DisplayWatch.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    /** Every child a test starts is stopped once it has run this long: a hang fails its test
        instead of holding the suite until CTest's own limit.
    */
    constexpr int childTimeLimitSeconds = 120;

    /** The command run under that limit: past it, it is stopped (exit code 124), and killed
        10 s later if it is still there.
    */
    juce::StringArray bounded (const juce::StringArray& command)
    {
        juce::StringArray result { "timeout", "--kill-after=10", juce::String (childTimeLimitSeconds) };
        result.addArray (command);
        return result;
    }

    struct Run
    {
        int exitCode;
        juce::String output;   // standard output and standard error together
    };

    /** corvane-host, run as a user runs it (the build passes its path in CORVANE_HOST); with
        environment, under env with those arguments.
    */
    Run runHost (const juce::StringArray& arguments, const juce::StringArray& environment = {})
    {
        const auto* host = std::getenv ("CORVANE_HOST");
        juce::StringArray command;

        if (! environment.isEmpty())
            command.add ("env");

        command.addArray (environment);
        command.add (host != nullptr ? host : "corvane-host");
        command.addArray (arguments);

        // LeakSanitizer's own tracer at exit can fail on a loaded machine (it then says so and
        // reports no leak): that run tells nothing of the host, so it is run again, once.
        for (int attempt = 0;; ++attempt)
        {
            juce::ChildProcess process;

            if (! process.start (bounded (command), juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
                return { -1, "could not start " + command[0] };

            const auto output = process.readAllProcessOutput();
            process.waitForProcessToFinish (120000);

            if (attempt == 0 && output.contains ("LeakSanitizer has encountered a fatal error"))
                continue;

            return { static_cast<int> (process.getExitCode()), output };
        }
    }

    juce::String modulePath()
    {
        const auto* path = std::getenv ("CORVANE_MODULE");
        return path != nullptr ? path : "";
    }

    bool writeAudio (juce::AudioFormat&& format, const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                     int bitsPerSample = 32)
    {
        file.deleteFile();
        auto stream = std::make_unique<juce::FileOutputStream> (file);
        std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (stream.get(), sampleRate,
                                                                                static_cast<unsigned int> (audio.getNumChannels()),
                                                                                bitsPerSample, {}, 0));

        if (writer == nullptr)
            return false;

        stream.release();
        return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    }

    bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
    {
        return writeAudio (juce::WavAudioFormat(), file, audio, sampleRate);
    }

    /** The content of a WAV format chunk, the extensible one where a channel mask is given; its
        byte rate is that of 8 kHz, whatever its sample rate field reads.
    */
    juce::MemoryBlock formatChunk (int formatTag, int numChannels, uint32_t sampleRate, int bitsPerSample,
                                   std::optional<uint32_t> mask = {})
    {
        juce::MemoryOutputStream out;
        out.writeShort (static_cast<short> (mask.has_value() ? 0xfffe : formatTag));
        out.writeShort (static_cast<short> (numChannels));
        out.writeInt (static_cast<int> (sampleRate));
        out.writeInt (static_cast<int> (8000LL * numChannels * bitsPerSample / 8));
        out.writeShort (static_cast<short> (numChannels * bitsPerSample / 8));
        out.writeShort (static_cast<short> (bitsPerSample));
        out.writeShort (mask.has_value() ? 22 : 0);

        if (mask.has_value())
        {
            out.writeShort (static_cast<short> (bitsPerSample));
            out.writeInt (static_cast<int> (*mask));
            out.writeShort (static_cast<short> (formatTag));
            out.write ("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 14);
        }

        return out.getMemoryBlock();
    }

    /** A chunk of a WAV file, with a size field of its own where one is given. */
    struct Chunk
    {
        const char* name;
        juce::MemoryBlock content;
        std::optional<uint32_t> size = {};
    };

    /** A WAV file of these chunks in a RIFF or an RF64 container. */
    bool writeChunks (const juce::File& file, const char* container, const std::vector<Chunk>& chunks)
    {
        juce::MemoryOutputStream body;

        for (const auto& [name, content, size] : chunks)
        {
            body.write (name, 4);
            body.writeInt (static_cast<int> (size.value_or (static_cast<uint32_t> (content.getSize()))));
            body << content;
        }

        juce::MemoryOutputStream out;
        out.write (container, 4);
        out.writeInt (juce::String (container) == "RF64" ? -1 : static_cast<int> (body.getDataSize() + 4));
        out.write ("WAVE", 4);
        out << body.getMemoryBlock();
        return file.replaceWithData (out.getData(), out.getDataSize());
    }

    /** A mono WAV file written byte by byte, in an encoding JUCE's writer does not make. */
    bool writeWavBytes (const juce::File& file, int formatTag, int bitsPerSample, const void* data, size_t size,
                        uint32_t sampleRate = 8000)
    {
        return writeChunks (file, "RIFF", { { "fmt ", formatChunk (formatTag, 1, sampleRate, bitsPerSample) },
                                            { "data", juce::MemoryBlock (data, size) } });
    }

    /** An AIFF or AIFF-C file of these chunks, sizes big-endian. */
    bool writeForm (const juce::File& file, const char* type, const std::vector<Chunk>& chunks)
    {
        juce::MemoryOutputStream body;

        for (const auto& [name, content, size] : chunks)
        {
            body.write (name, 4);
            body.writeIntBigEndian (static_cast<int> (size.value_or (static_cast<uint32_t> (content.getSize()))));
            body << content;
        }

        juce::MemoryOutputStream out;
        out.write ("FORM", 4);
        out.writeIntBigEndian (static_cast<int> (body.getDataSize() + 4));
        out.write (type, 4);
        out << body.getMemoryBlock();
        return file.replaceWithData (out.getData(), out.getDataSize());
    }

    /** The content of an AIFF common chunk at 8 kHz, with a compression type where one is given. */
    juce::MemoryBlock commonChunk (int numChannels, int numFrames, int bitsPerSample, const char* compression = nullptr)
    {
        juce::MemoryOutputStream out;
        out.writeShortBigEndian (static_cast<short> (numChannels));
        out.writeIntBigEndian (numFrames);
        out.writeShortBigEndian (static_cast<short> (bitsPerSample));
        out.write ("\x40\x0b\xfa\x00\x00\x00\x00\x00\x00\x00", 10);

        if (compression != nullptr)
            out.write (compression, 6);

        return out.getMemoryBlock();
    }

    /** The content of an AIFF sound data chunk. */
    juce::MemoryBlock soundChunk (int offset, const juce::MemoryBlock& data)
    {
        juce::MemoryOutputStream out;
        out.writeIntBigEndian (offset);
        out.writeIntBigEndian (0);
        out << data;
        return out.getMemoryBlock();
    }

    struct Wav
    {
        juce::AudioBuffer<float> audio;
        double sampleRate = 0.0;
    };

    /** The audio of a WAV file; none where there is no file (JUCE's reader takes no stream for one). */
    Wav readWav (const juce::File& file)
    {
        Wav result;
        juce::WavAudioFormat wav;
        auto stream = file.createInputStream();
        std::unique_ptr<juce::AudioFormatReader> reader (stream != nullptr ? wav.createReaderFor (stream.release(), true) : nullptr);

        if (reader != nullptr)
        {
            result.sampleRate = reader->sampleRate;
            result.audio.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
            reader->read (&result.audio, 0, result.audio.getNumSamples(), 0, true, true);
        }

        return result;
    }

    /** The Ogg page that begins at these bytes. */
    ogg_page pageAt (unsigned char* bytes)
    {
        ogg_page page { bytes, 27 + bytes[26], bytes + 27 + bytes[26], 0 };

        for (int segment = 0; segment < bytes[26]; ++segment)
            page.body_len += bytes[27 + segment];

        return page;
    }

    juce::AudioBuffer<float> sine (int numChannels, int numSamples, double sampleRate, double frequency = 330.0)
    {
        juce::AudioBuffer<float> audio (numChannels, numSamples);

        for (int channel = 0; channel < numChannels; ++channel)
            for (int i = 0; i < numSamples; ++i)
                audio.setSample (channel, i, 0.3f * static_cast<float> (std::sin (2.0 * juce::MathConstants<double>::pi * frequency * i / sampleRate)));

        return audio;
    }

    /** corvane-host started with its output discarded, through a wrapper command where one is
        given; answers its process id, or 0.
    */
    pid_t startHost (const juce::StringArray& arguments, const juce::StringArray& wrapper = {})
    {
        std::vector<std::string> words;

        for (const auto& word : wrapper)
            words.push_back (word.toStdString());

        words.push_back (std::getenv ("CORVANE_HOST"));

        for (const auto& argument : arguments)
            words.push_back (argument.toStdString());

        std::vector<char*> argv;

        for (auto& word : words)
            argv.push_back (word.data());

        argv.push_back (nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen (&actions, 2, "/dev/null", O_WRONLY, 0);

        // Signals the tests send reach it even where the test runner was started to ignore them.
        posix_spawnattr_t attributes;
        posix_spawnattr_init (&attributes);
        sigset_t defaults;
        sigfillset (&defaults);
        posix_spawnattr_setsigdefault (&attributes, &defaults);
        posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETSIGDEF);

        pid_t child = 0;
        const auto started = posix_spawnp (&child, argv[0], &actions, &attributes, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy (&actions);
        posix_spawnattr_destroy (&attributes);
        return started ? child : 0;
    }

    /** Waits for a child that startHost started, within the time limit; one that passes it is
        killed. False when it had to be killed or could not be waited for.
    */
    bool waitForHost (pid_t child, int& status, rusage* usage = nullptr)
    {
        const auto deadline = juce::Time::getMillisecondCounterHiRes() + childTimeLimitSeconds * 1000.0;

        for (;;)
        {
            const auto waited = wait4 (child, &status, WNOHANG, usage);

            if (waited != 0)
                return waited == child;

            if (juce::Time::getMillisecondCounterHiRes() > deadline)
            {
                kill (child, SIGKILL);
                wait4 (child, &status, 0, usage);
                return false;
            }

            juce::Thread::sleep (10);
        }
    }

    /** The peak memory of one run of corvane-host, in kilobytes (its output discarded); -1 where
        it failed.
    */
    long peakMemoryOfRun (const juce::StringArray& arguments, const juce::StringArray& wrapper = {})
    {
        const auto child = startHost (arguments, wrapper);
        int status = 0;
        rusage usage {};

        if (child == 0 || ! waitForHost (child, status, &usage) || ! WIFEXITED (status) || WEXITSTATUS (status) != 0)
            return -1;

        return usage.ru_maxrss;
    }

    /** What is left of the audio once the best-fitting sine of this frequency is taken out,
        over a whole number of its periods (samples start to start + length).
    */
    float residualAfterTone (const float* samples, int start, int length, double frequency, double sampleRate)
    {
        double sinSum = 0.0, cosSum = 0.0;
        const auto omega = 2.0 * juce::MathConstants<double>::pi * frequency / sampleRate;

        for (int i = start; i < start + length; ++i)
        {
            sinSum += samples[i] * std::sin (omega * i);
            cosSum += samples[i] * std::cos (omega * i);
        }

        float peak = 0.0f;

        for (int i = start; i < start + length; ++i)
        {
            const auto fitted = 2.0 / length * (sinSum * std::sin (omega * i) + cosSum * std::cos (omega * i));
            peak = juce::jmax (peak, static_cast<float> (std::abs (samples[i] - fitted)));
        }

        return peak;
    }
}

class CommandLineHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A folder of its own, named by the system: two runs of the suite never share one.
        auto name = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("corvane-host-test-XXXXXX")
                        .getFullPathName().toStdString();
        ASSERT_NE (mkdtemp (name.data()), nullptr);
        folder = juce::File (name);
    }

    void TearDown() override
    {
        // JUCE's deleteRecursively passes over sockets, and so leaves their folder.
        std::error_code error;
        std::filesystem::remove_all (folder.getFullPathName().toStdString(), error);
    }

    juce::String path (const char* name) const    { return folder.getChildFile (name).getFullPathName(); }

    juce::File folder;
};

TEST_F (CommandLineHost, TheFixtureRemovesEverythingATestMade)
{
    for (const auto& [name, mode] : { std::pair { "fifo", S_IFIFO }, { "socket", S_IFSOCK } })
        ASSERT_EQ (mknod (path (name).toRawUTF8(), mode | 0600, 0), 0) << name;

    const auto made = folder;
    TearDown();
    EXPECT_FALSE (made.exists());
    SetUp();
}

TEST_F (CommandLineHost, DescribesTheEffectAndItsParameters)
{
    const auto run = runHost ({ "describe", "--module", modulePath() });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    for (const auto* expected : { "Effect:         com.halvorn.corvane", "Names:          Four-Line Stereo Delay, Corvane",
                                  "Manufacturer:   Halvorn", "Version:        1.1.0", "Category:       16 (delay)",
                                  "Configurations: 3", "  2 in / 2 out", "  1 in / 2 out", "  1 in / 1 out",
                                  "native id 'jcab'", "Parameters:     129", "  MasterBypassID  Master Bypass",
                                  "  127             " })
        EXPECT_TRUE (run.output.contains (expected)) << expected;

    // Every parameter, the ones outside the host's slots among them.
    const auto all = runHost ({ "describe", "--all", "--module", modulePath() });
    ASSERT_EQ (all.exitCode, 0) << all.output;

    for (const auto* expected : { "Delay Lines Routing", "Parallel | Serial | Tapped Serial", "Maximum Delay Length",
                                  "1 to 15, default 1", "Offline Processing Quality", "Line 4 Feedback Hold" })
        EXPECT_TRUE (all.output.contains (expected)) << expected;

    // A value that is the default is said once, in the range's spelling (a note's from its
    // user-settings default); a row without a table range says what it takes.
    for (const auto* expected : { "state  off | on, default off\n", "switch bypass | on: bypass\n",
                                  "note   a note name from C-0 to G-H (C-5, F#3), or a normalised number from 0 to 1, default C-2\n",
                                  "or a normalised number from 0 to 1, default C-3\n" })
        EXPECT_TRUE (all.output.contains (expected)) << expected;

    // The columns stay in line past the longest name.
    const auto lines = juce::StringArray::fromLines (all.output.fromFirstOccurrenceOf ("All parameters:", false, false).trimEnd());
    const auto column = lines[1].indexOf (" slot ");
    ASSERT_GT (column, 0);

    for (int line = 1; line < lines.size(); ++line)
        EXPECT_TRUE (lines[line].substring (column).startsWith (" slot ") || lines[line].substring (column).startsWith (" state "))
            << lines[line];
}

TEST_F (CommandLineHost, RendersTheDemoPhrase)
{
    const auto run = runHost ({ "render", "--module", modulePath(), "--out", path ("demo.wav"), "--tail", "0" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.startsWith ("Wrote " + path ("demo.wav")));
    EXPECT_TRUE (run.output.contains ("Peak ") && run.output.contains ("dBFS, RMS ")) << run.output;
    EXPECT_TRUE (run.output.contains ("Rendered offline: Offline Processing Quality Normal")) << run.output;

    // Six bars of 4/4 at 120 bpm, in stereo at 48 kHz; sound, and not clipped.
    const auto demo = readWav (folder.getChildFile ("demo.wav"));
    EXPECT_EQ (demo.sampleRate, 48000.0);
    EXPECT_EQ (demo.audio.getNumChannels(), 2);
    EXPECT_EQ (demo.audio.getNumSamples(), 576000);
    EXPECT_GT (demo.audio.getRMSLevel (0, 0, demo.audio.getNumSamples()), 0.001f);
    EXPECT_GT (demo.audio.getRMSLevel (1, 0, demo.audio.getNumSamples()), 0.001f);
    EXPECT_LT (demo.audio.getMagnitude (0, demo.audio.getNumSamples()), 1.0f);

    // The same settings render the same phrase.
    ASSERT_EQ (runHost ({ "render", "--module", modulePath(), "--out", path ("again.wav"), "--tail", "0" }).exitCode, 0);
    const auto again = readWav (folder.getChildFile ("again.wav"));
    ASSERT_EQ (again.audio.getNumSamples(), demo.audio.getNumSamples());

    for (int channel = 0; channel < 2; ++channel)
        EXPECT_EQ (std::memcmp (again.audio.getReadPointer (channel), demo.audio.getReadPointer (channel),
                                sizeof (float) * static_cast<size_t> (demo.audio.getNumSamples())), 0);

    // Float data carries the float format tag with an empty extension and a fact chunk with
    // the frame count: what sox and libsndfile read without a warning.
    juce::MemoryBlock file;
    ASSERT_TRUE (folder.getChildFile ("demo.wav").loadFileAsData (file));
    const auto bytes = std::string (static_cast<const char*> (file.getData()), file.getSize());
    const auto format = bytes.find ("fmt "), fact = bytes.find ("fact");
    ASSERT_NE (format, std::string::npos);
    ASSERT_NE (fact, std::string::npos);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes.data() + format + 4), 18u);
    EXPECT_EQ (juce::ByteOrder::littleEndianShort (bytes.data() + format + 8), 3);
    EXPECT_EQ (juce::ByteOrder::littleEndianShort (bytes.data() + format + 24), 0);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes.data() + fact + 8), 576000u);
}

TEST_F (CommandLineHost, RendersAFileWithEveryOption)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (1, 44100, 44100.0), 44100.0));
    ASSERT_TRUE (folder.getChildFile ("p.cvprst").replaceWithText (
        R"(<Preset name="Warm" application="Corvane" version="1.1"><param name="MOD 1 Type" value="ENV"/></Preset>)"));

    const auto first = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("a.wav"),
                                  "--config", "1x2", "--rate", "48000", "--block", "100", "--bpm", "90", "--play",
                                  "--preset", path ("p.cvprst"), "--set", "22=1", "--set", "master volume=0.4",
                                  "--set", "MasterBypassID=0", "--set", "delay lines routing=Tapped Serial",
                                  "--set", "Maximum Delay Length=7", "--set", "Line 1 Delay Left Time=250 ms",
                                  "--tail", "1", "--preroll", "0.2", "--mode", "realtime", "--state-out", path ("a.state") });
    ASSERT_EQ (first.exitCode, 0) << first.output;
    EXPECT_TRUE (first.output.contains ("Rendered in real time: Real-time Processing Quality Normal")) << first.output;

    const auto rendered = readWav (folder.getChildFile ("a.wav"));
    EXPECT_EQ (rendered.sampleRate, 48000.0);
    EXPECT_EQ (rendered.audio.getNumChannels(), 2);
    EXPECT_EQ (rendered.audio.getNumSamples(), 96000);
    EXPECT_GT (rendered.audio.getRMSLevel (1, 0, 48000), 0.001f);

    // The state holds what was set, through the host's slots and through the state document.
    juce::MemoryBlock state;
    ASSERT_TRUE (folder.getChildFile ("a.state").loadFileAsData (state));
    const auto stateText = std::string (static_cast<const char*> (state.getData()), state.getSize());

    for (const auto* expected : { R"(name="MOD 1 Type" value="ENV")", R"(name="Delay Lines Routing" value="Tapped Serial")",
                                  R"(name="Maximum Delay Length" value="7")", R"(name="Preset Name" value="p")" })
        EXPECT_NE (stateText.find (expected), std::string::npos) << expected;

    // "250 ms" is shown from 249.995 ms to 250.005 ms.
    const auto time = stateText.find (R"(name="Line 1 Delay Left Time Linear" value=")");
    ASSERT_NE (time, std::string::npos);
    EXPECT_NEAR (std::stod (stateText.substr (time + 44)), 250.0, 0.005);

    // Bypassed, the input comes out as it went in, a mono input on both outputs.
    for (const auto* config : { "2x2", "1x2" })
    {
        SCOPED_TRACE (config);
        const auto bypassed = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("b.wav"),
                                         "--config", config, "--state-in", path ("a.state"), "--bypass", "--tail", "0" });
        ASSERT_EQ (bypassed.exitCode, 0) << bypassed.output;
        const auto input = readWav (folder.getChildFile ("in.wav"));
        const auto output = readWav (folder.getChildFile ("b.wav"));
        EXPECT_EQ (output.sampleRate, 44100.0);
        ASSERT_EQ (output.audio.getNumSamples(), input.audio.getNumSamples());

        for (int channel = 0; channel < 2; ++channel)
            EXPECT_EQ (std::memcmp (output.audio.getReadPointer (channel), input.audio.getReadPointer (0),
                                    sizeof (float) * static_cast<size_t> (input.audio.getNumSamples())), 0);
    }

    // A state restored and saved again is the same state.
    const auto restored = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("c.wav"),
                                     "--state-in", path ("a.state"), "--state-out", path ("c.state") });
    ASSERT_EQ (restored.exitCode, 0) << restored.output;
    juce::MemoryBlock savedAgain;
    ASSERT_TRUE (folder.getChildFile ("c.state").loadFileAsData (savedAgain));
    EXPECT_EQ (state, savedAgain);
}

TEST_F (CommandLineHost, ReadsTheFormatFromTheContent)
{
    const auto audio = sine (2, 4410, 44100.0);
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("ogg.oga"), audio, 44100.0, 16));
    ASSERT_TRUE (writeAudio (juce::AiffAudioFormat(), folder.getChildFile ("aiff.wav"), audio, 44100.0, 24));
    ASSERT_TRUE (writeAudio (juce::AiffAudioFormat(), folder.getChildFile ("aiff.flac"), audio, 44100.0, 16));
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("flac.wav"), audio, 44100.0, 24));
    ASSERT_TRUE (writeWav (folder.getChildFile ("wav"), audio, 44100.0));

    // A FLAC stream may leave its length out of its header (one written to a pipe does).
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("unsized flac"), audio, 44100.0, 16));
    juce::MemoryBlock flac;
    ASSERT_TRUE (folder.getChildFile ("unsized flac").loadFileAsData (flac));
    static_cast<char*> (flac.getData())[21] &= 0xf0;
    std::memset (static_cast<char*> (flac.getData()) + 22, 0, 4);
    ASSERT_TRUE (folder.getChildFile ("unsized flac").replaceWithData (flac.getData(), flac.getSize()));

    // A chain of two Vorbis streams whose first is shorter than what finding the links reads.
    juce::MemoryBlock link;
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("chain.oga"), sine (2, 2205, 44100.0), 44100.0, 16));
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("link"), sine (2, 2205, 44100.0), 44100.0, 16));
    ASSERT_TRUE (folder.getChildFile ("link").loadFileAsData (link) && folder.getChildFile ("chain.oga").appendData (link.getData(), link.getSize()));

    // Bypassed, what a lossless file holds comes out as it is, within its word length.
    for (const auto& [name, precision] : { std::pair ("ogg.oga", 0.0f), std::pair ("aiff.wav", 1.0f / (1 << 23)), std::pair ("aiff.flac", 1.0f / (1 << 15)),
                                           std::pair ("flac.wav", 1.0f / (1 << 23)), std::pair ("unsized flac", 1.0f / (1 << 15)), std::pair ("wav", 0.0f),
                                           std::pair ("chain.oga", 0.0f) })
    {
        SCOPED_TRACE (name);
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path (name), "--out", path ("out.wav"), "--tail", "0", "--bypass" });
        ASSERT_EQ (run.exitCode, 0) << run.output;
        auto output = readWav (folder.getChildFile ("out.wav")).audio;
        ASSERT_EQ (output.getNumSamples(), 4410);

        if (juce::String (name).endsWith (".oga"))
            continue;

        for (int channel = 0; channel < 2; ++channel)
        {
            output.addFrom (channel, 0, audio, channel, 0, 4410, -1.0f);
            EXPECT_LE (output.getMagnitude (channel, 0, 4410), precision);
        }
    }
}

TEST_F (CommandLineHost, ResamplesWithoutAliasesOrImages)
{
    // Bypassed, the plug-in passes the resampled audio through: what is left beside the tone
    // (none above the new Nyquist frequency) is the resampler's spurs.
    struct Case { double inputRate; int outputRate; double frequency; double expected; };

    for (const auto& [inputRate, outputRate, frequency, expected] : { Case { 96000.0, 44100, 30000.0, 0.0 },
                                                                     Case { 44100.0, 96000, 18000.0, 18000.0 } })
    {
        SCOPED_TRACE (juce::String (inputRate) + " to " + juce::String (outputRate));
        ASSERT_TRUE (writeWav (folder.getChildFile ("tone.wav"), sine (2, static_cast<int> (inputRate / 2), inputRate, frequency), inputRate));

        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("tone.wav"), "--out", path ("out.wav"),
                                    "--rate", juce::String (outputRate), "--bypass", "--tail", "0" });
        ASSERT_EQ (run.exitCode, 0) << run.output;

        const auto output = readWav (folder.getChildFile ("out.wav"));
        ASSERT_EQ (output.audio.getNumSamples(), outputRate / 2);

        // A whole number of the tone's periods, away from the start and end of the file.
        const auto residual = expected > 0.0 ? residualAfterTone (output.audio.getReadPointer (0), outputRate / 8, 16 * 1000, expected, outputRate)
                                             : output.audio.getMagnitude (0, outputRate / 8, outputRate / 4);
        EXPECT_LT (juce::Decibels::gainToDecibels (residual, -200.0f), -100.0f);
    }
}

TEST_F (CommandLineHost, RendersTheTailUntilNoEchoIsOnItsWay)
{
    juce::AudioBuffer<float> impulse (1, 800);
    impulse.clear();
    impulse.setSample (0, 0, 0.5f);
    ASSERT_TRUE (writeWav (folder.getChildFile ("impulse.wav"), impulse, 8000.0));

    // The file ends once the output has stayed below -100 dBFS for the longest delay of the
    // settings (delay and pre-delay through the routing's chain) plus 100 ms; the last echo
    // comes after it.
    struct Case { juce::StringArray settings; const char* tail; int lastEcho, quiet; };

    for (const auto& [settings, tail, lastEcho, quiet] : {
             Case { { "Line 1 Feedback=0.8" }, "auto", 1600, 1057 },
             Case { { "Line 1 Feedback=0 %", "Line 1 Delay Left Time=1000.00 ms" }, "AUTO", 7900, 8801 },
             Case { { "Line 1 Delay Left Time=500 ms", "Line 2 Delay Left Time=500 ms", "Delay Lines Routing=Tapped Serial" }, "Auto", 3900, 9313 } })
    {
        SCOPED_TRACE (settings.joinIntoString (", "));
        juce::StringArray arguments { "render", "--module", modulePath(), "--in", path ("impulse.wav"), "--out", path ("out.wav"),
                                      "--config", "1x1", "--tail", tail, "--set", "FX Amount=1" };

        for (const auto& setting : settings)
            arguments.addArray ({ "--set", setting });

        const auto run = runHost (arguments);
        ASSERT_EQ (run.exitCode, 0) << run.output;
        const auto output = readWav (folder.getChildFile ("out.wav"));
        auto last = output.audio.getNumSamples() - 1;

        while (last > 0 && std::abs (output.audio.getSample (0, last)) < 1.0e-5f)
            --last;

        EXPECT_GT (last, lastEcho);
        EXPECT_NEAR (output.audio.getNumSamples() - 1 - last, quiet, 2);
    }
}

TEST_F (CommandLineHost, SetValuesGiveOneStateInAnyOrder)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));

    // Through the host's slots and through the state document, and a spread shown in
    // milliseconds of a delay that is set too.
    const juce::StringArray values { "FX Amount=1", "Line 1 Delay Left Time=250 ms", "Line 1 Delay Join Channels=off",
                                     "Delay Lines Routing=Tapped Serial", "Line 1 Stereo Spread=Left 3.20 ms" };
    juce::MemoryBlock firstState;
    Wav first;

    for (const auto& order : { std::vector<int> { 0, 1, 2, 3, 4 }, { 4, 3, 2, 1, 0 }, { 2, 4, 0, 3, 1 } })
    {
        juce::StringArray arguments { "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"),
                                      "--state-out", path ("out.state"), "--tail", "0.5" };

        for (const auto index : order)
            arguments.addArray ({ "--set", values[index] });

        SCOPED_TRACE (arguments.joinIntoString (" "));
        const auto run = runHost (arguments);
        ASSERT_EQ (run.exitCode, 0) << run.output;

        juce::MemoryBlock state;
        ASSERT_TRUE (folder.getChildFile ("out.state").loadFileAsData (state));
        const auto output = readWav (folder.getChildFile ("out.wav"));

        if (firstState.isEmpty())
        {
            firstState = state;
            first = output;

            // Wet only: the dry sine is gone from the first 250 ms.
            EXPECT_LT (output.audio.getMagnitude (0, 0, 11000), 1.0e-3f);
            continue;
        }

        EXPECT_EQ (state, firstState);
        ASSERT_EQ (output.audio.getNumSamples(), first.audio.getNumSamples());

        for (int channel = 0; channel < 2; ++channel)
            EXPECT_EQ (std::memcmp (output.audio.getReadPointer (channel), first.audio.getReadPointer (channel),
                                    sizeof (float) * static_cast<size_t> (first.audio.getNumSamples())), 0);
    }
}

TEST_F (CommandLineHost, PrerollIsSilenceRenderedBeforeTheInput)
{
    const auto tone = sine (2, 4800, 48000.0);
    juce::AudioBuffer<float> delayed (2, 24000 + 4800);
    delayed.clear();

    for (int channel = 0; channel < 2; ++channel)
        delayed.copyFrom (channel, 24000, tone, channel, 0, 4800);

    ASSERT_TRUE (writeWav (folder.getChildFile ("tone.wav"), tone, 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("delayed.wav"), delayed, 48000.0));

    const auto renderFile = [this] (const char* input, const char* preroll)
    {
        EXPECT_EQ (runHost ({ "render", "--module", modulePath(), "--in", path (input), "--out", path ("out.wav"),
                              "--preroll", preroll, "--tail", "0", "--set", "FX Amount=1" }).exitCode, 0);
        return readWav (folder.getChildFile ("out.wav")).audio;
    };

    // Half a second of pre-roll is half a second of silence before the input, its output dropped.
    const auto settled = renderFile ("tone.wav", "0.5");
    const auto byHand = renderFile ("delayed.wav", "0");
    const auto raw = renderFile ("tone.wav", "0");
    ASSERT_EQ (settled.getNumSamples(), 4800);
    ASSERT_EQ (byHand.getNumSamples(), 24000 + 4800);

    EXPECT_EQ (std::memcmp (settled.getReadPointer (0), byHand.getReadPointer (0, 24000), sizeof (float) * 4800), 0);
    EXPECT_NE (std::memcmp (settled.getReadPointer (0), raw.getReadPointer (0), sizeof (float) * 480), 0);
}

TEST_F (CommandLineHost, StartsSettledAtEveryRate)
{
    // An echo of the file's first moments lands where a later one does: the delay time has
    // glided to its setting during the pre-roll, however slowly it glides at the rate.
    for (const auto rate : { 48000.0, 96000.0, 176400.0, 192000.0 })
    {
        SCOPED_TRACE (rate);
        const auto at = [rate] (double seconds) { return static_cast<int> (std::lround (seconds * rate)); };
        juce::AudioBuffer<float> impulses (1, at (1.8));
        impulses.clear();
        impulses.setSample (0, at (0.1), 0.5f);
        impulses.setSample (0, at (1.5), 0.5f);
        ASSERT_TRUE (writeWav (folder.getChildFile ("impulses.wav"), impulses, rate));

        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("impulses.wav"), "--out", path ("out.wav"),
                                    "--config", "1x1", "--tail", "0", "--set", "FX Amount=1", "--set", "Line 1 Delay Left Time=250 ms" });
        ASSERT_EQ (run.exitCode, 0) << run.output;
        const auto output = readWav (folder.getChildFile ("out.wav")).audio;
        ASSERT_EQ (output.getNumSamples(), impulses.getNumSamples());

        // Where the energy of the echo lies, in seconds after its impulse.
        const auto echoAfter = [&] (double impulse)
        {
            double energy = 0.0, moment = 0.0;

            for (auto i = at (impulse + 0.2); i < at (impulse + 0.27); ++i)
            {
                const auto square = static_cast<double> (output.getSample (0, i)) * output.getSample (0, i);
                energy += square;
                moment += square * i;
            }

            return energy > 0.0 ? moment / energy / rate - impulse : 0.0;
        };

        EXPECT_NEAR (echoAfter (0.1), 0.25, 0.001);
        EXPECT_NEAR (echoAfter (0.1), echoAfter (1.5), 0.00005);
    }
}

TEST_F (CommandLineHost, RendersEveryInputSampleThroughTheLimiter)
{
    // The limiter's look-ahead delays the whole output, so an impulse just before the end of
    // the input comes out after it.
    juce::AudioBuffer<float> impulse (1, 4800);
    impulse.clear();
    impulse.setSample (0, 4800 - 48, 0.5f);
    ASSERT_TRUE (writeWav (folder.getChildFile ("impulse.wav"), impulse, 48000.0));

    const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("impulse.wav"), "--out", path ("out.wav"),
                                "--config", "1x1", "--tail", "0", "--set", "Limiter Active=On", "--set", "FX Amount=0" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    const auto output = readWav (folder.getChildFile ("out.wav")).audio;
    EXPECT_GT (output.getNumSamples(), 4800);
    EXPECT_GT (output.getMagnitude (0, 4800 - 48, output.getNumSamples() - 4800 + 48), 0.25f);
}

TEST_F (CommandLineHost, RendersAFilterModulatedNearTheTopOfItsRangeAtEveryRate)
{
    // A high-pass in the feedback loop near the top of its range, its cutoff moved every
    // sample by a sine: at the lowest rates that top lies at the Nyquist frequency.
    const auto peakAt = [this] (double rate)
    {
        const auto input = sine (2, static_cast<int> (rate), rate);
        EXPECT_TRUE (writeWav (folder.getChildFile ("in.wav"), input, rate));
        folder.getChildFile ("out.wav").deleteFile();
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"),
                                    "--tail", "2", "--set", "Line 1 Filter Feedback Loop=on", "--set", "Line 1 Filter Type=HP",
                                    "--set", "Line 1 Filter Cutoff=0.8977", "--set", "LFO 1 Waveform=Sine",
                                    "--set", "LFO 1 Frequency=0.783", "--set", "Line 1 Modulation Cutoff=0.77" });
        EXPECT_EQ (run.exitCode, 0) << run.output;
        const auto output = readWav (folder.getChildFile ("out.wav")).audio;
        auto peak = output.getNumSamples() > 0 ? 0.0f : std::numeric_limits<float>::infinity();

        for (int channel = 0; channel < output.getNumChannels(); ++channel)
            for (int i = 0; i < output.getNumSamples(); ++i)
                peak = std::isfinite (output.getSample (channel, i)) ? juce::jmax (peak, std::abs (output.getSample (channel, i)))
                                                                      : std::numeric_limits<float>::infinity();

        return peak;
    };

    const auto reference = peakAt (44100.0);
    ASSERT_GT (reference, 0.1f);

    for (const auto rate : { 8000.0, 16000.0, 22050.0, 32000.0 })
        EXPECT_LT (peakAt (rate), 2.0f * reference) << rate;
}

TEST_F (CommandLineHost, RefusesToWriteAnOutputThatIsNotFinite)
{
    // Float samples near the largest a float holds, mixed with their own echoes, overflow.
    juce::AudioBuffer<float> loud (1, 4800);

    for (int i = 0; i < loud.getNumSamples(); ++i)
        loud.setSample (0, i, (i / 10) % 2 == 0 ? 3.0e38f : -3.0e38f);

    ASSERT_TRUE (writeWav (folder.getChildFile ("loud.wav"), loud, 48000.0));
    ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("RIFF0000WAVE, an earlier output"));

    const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("loud.wav"), "--out", path ("out.wav"),
                                "--config", "1x1", "--tail", "0" });
    EXPECT_EQ (run.exitCode, 1) << run.output;
    EXPECT_TRUE (run.output.contains ("cannot write " + path ("out.wav") + ": the effect's output is not finite")) << run.output;
    EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");
}

TEST_F (CommandLineHost, RunsStartedTogetherShareAFreshDataRoot)
{
    // Each checks that the plug-in can make the folder, while the others check it too; the
    // input is refused at once, after the check.
    ASSERT_TRUE (folder.getChildFile ("text.wav").replaceWithText ("not audio"));

    for (int round = 0; round < 2; ++round)
    {
        const auto root = folder.getChildFile ("fresh " + juce::String (round) + "/data root");
        ASSERT_EQ (setenv ("CORVANE_DATA_ROOT", root.getFullPathName().toRawUTF8(), 1), 0);
        std::vector<std::unique_ptr<juce::ChildProcess>> runs;

        for (int run = 0; run < 32; ++run)
        {
            runs.push_back (std::make_unique<juce::ChildProcess>());
            EXPECT_TRUE (runs.back()->start (bounded ({ std::getenv ("CORVANE_HOST"), "render", "--module", modulePath(), "--in", path ("text.wav"),
                                                        "--out", path ("out.wav") })));
        }

        unsetenv ("CORVANE_DATA_ROOT");

        for (auto& run : runs)
        {
            // A ChildProcess that goes leaves its process unreaped: each is waited for.
            const auto output = run->readAllProcessOutput();
            EXPECT_TRUE (run->waitForProcessToFinish (120000));
            EXPECT_TRUE (output.startsWith ("corvane-host: cannot read ")) << output;
            EXPECT_FALSE (output.contains ("CORVANE_DATA_ROOT")) << output;
        }
    }

    EXPECT_TRUE (folder.findChildFiles (juce::File::findDirectories, false, ".corvane-host-check*").isEmpty());
}

TEST_F (CommandLineHost, SaysWhatStoppedIt)
{
    // A write the system refuses names its reason: here the file size limit.
    const auto* host = std::getenv ("CORVANE_HOST");
    juce::ChildProcess limited;
    ASSERT_TRUE (limited.start (bounded ({ "/bin/sh", "-c", "ulimit -f 16; trap '' XFSZ; exec \"$0\" \"$@\"", host, "render",
                                           "--module", modulePath(), "--out", path ("big.wav"), "--tail", "0", "--preroll", "0" })));
    const auto output = limited.readAllProcessOutput();
    limited.waitForProcessToFinish (60000);
    EXPECT_EQ (limited.getExitCode(), 1u);
    EXPECT_TRUE (output.contains ("cannot write " + path ("big.wav") + ": File too large")) << output;

    // A feedback of 90 % still rings after 60 s; the notice says what was seen.
    juce::AudioBuffer<float> impulse (1, 80);
    impulse.clear();
    impulse.setSample (0, 0, 0.5f);
    ASSERT_TRUE (writeWav (folder.getChildFile ("impulse.wav"), impulse, 8000.0));

    const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("impulse.wav"), "--out", path ("out.wav"),
                                "--config", "1x1", "--set", "Line 1 Feedback=90 %", "--set", "Line 1 Delay Left Time=1000 ms" });
    EXPECT_EQ (run.exitCode, 0);
    EXPECT_TRUE (run.output.contains ("corvane-host: the tail was cut at 60 s: the output had not stayed below -100 dBFS for 1.10 s"
                                      " after 60 s")) << run.output;
}

TEST_F (CommandLineHost, AnOutputCutShortByTheSystemFailsAndKeepsTheOldFile)
{
    juce::AudioBuffer<float> impulse (1, 80);
    impulse.clear();
    impulse.setSample (0, 0, 0.5f);
    ASSERT_TRUE (writeWav (folder.getChildFile ("impulse.wav"), impulse, 8000.0));

    const auto render = [this] (const juce::StringArray& outputs)
    {
        juce::StringArray arguments { "render", "--in", path ("impulse.wav"), "--config", "1x1", "--preroll", "0" };
        arguments.addArray (outputs);
        return arguments;
    };

    const struct { const char* output; juce::StringArray arguments; } cases[] =
    {
        { "out.wav", render ({ "--out", path ("out.wav"), "--tail", "1" }) },
        { "out.state", render ({ "--out", path ("small.wav"), "--tail", "0", "--state-out", path ("out.state") }) },
        { "out.png", { "snapshot", "--out", path ("out.png") } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.output);
        auto arguments = c.arguments;
        arguments.addArray ({ "--module", modulePath() });
        ASSERT_EQ (runHost (arguments).exitCode, 0);
        juce::MemoryBlock earlier, kept;
        ASSERT_TRUE (folder.getChildFile (c.output).loadFileAsData (earlier));

        // A limit one byte short of the output cuts its last write, as a disk that fills up does.
        juce::StringArray command { "/bin/sh", "-c", "trap '' XFSZ; exec prlimit \"$0\" -- \"$@\"",
                                    "--fsize=" + juce::String (folder.getChildFile (c.output).getSize() - 1), std::getenv ("CORVANE_HOST") };
        command.addArray (arguments);
        juce::ChildProcess limited;
        ASSERT_TRUE (limited.start (bounded (command)));
        const auto output = limited.readAllProcessOutput();
        limited.waitForProcessToFinish (60000);

        EXPECT_EQ (limited.getExitCode(), 1u) << output;
        EXPECT_TRUE (output.contains ("cannot write " + path (c.output) + ": File too large")) << output;
        EXPECT_TRUE (folder.getChildFile (c.output).loadFileAsData (kept) && kept == earlier);
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty());
    }
}

TEST_F (CommandLineHost, StreamsLongFilesInBoundedMemory)
{
    // Five minutes of mono at 8 kHz: held whole, its input and output alone would take 19 MB.
    ASSERT_TRUE (writeAudio (juce::WavAudioFormat(), folder.getChildFile ("long.wav"), sine (1, 8000 * 300, 8000.0), 8000.0, 16));
    ASSERT_TRUE (writeAudio (juce::WavAudioFormat(), folder.getChildFile ("short.wav"), sine (1, 8000, 8000.0), 8000.0, 16));

    const auto peakOf = [this] (const char* input)
    {
        return peakMemoryOfRun ({ "render", "--module", modulePath(), "--in", path (input), "--out", path ("out.wav"),
                                  "--config", "1x1", "--block", "8192", "--rate", "16000", "--tail", "0" });
    };

    const auto shortPeak = peakOf ("short.wav"), longPeak = peakOf ("long.wav");
    ASSERT_GT (shortPeak, 0);
    ASSERT_GT (longPeak, 0);
    EXPECT_LT (longPeak - shortPeak, 8 * 1024) << shortPeak << " KB, then " << longPeak << " KB";
    EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), 16000 * 300);
}

TEST_F (CommandLineHost, SaysWhatHappensToTheInputAndTheOutput)
{
    auto odd = sine (2, 4800, 48000.0);
    odd.setSample (0, 100, std::numeric_limits<float>::quiet_NaN());
    odd.setSample (1, 200, std::numeric_limits<float>::infinity());
    ASSERT_TRUE (writeWav (folder.getChildFile ("odd.wav"), odd, 48000.0));

    auto loud = sine (1, 4800, 48000.0);
    loud.applyGain (5.0f);
    ASSERT_TRUE (writeWav (folder.getChildFile ("loud.wav"), loud, 48000.0));
    ASSERT_TRUE (folder.getChildFile ("a file").replaceWithText ("x"));

    struct Case { const char* input; const char* config; const char* dataRoot; juce::String expected; };

    for (const auto& [input, config, dataRoot, expected] : {
             Case { "odd.wav", "2x2", "", "the input holds 2 non-finite samples (NaN or infinity), rendered as silence" },
             Case { "odd.wav", "1x2", "", "the stereo input is mixed to mono for the 1x2 configuration" },
             Case { "loud.wav", "2x2", "", "warning: the output peaks at " },
             Case { "loud.wav", "2x2", "relative/root", "CORVANE_DATA_ROOT 'relative/root' is not an absolute path" },
             Case { "loud.wav", "2x2", "~relative", "CORVANE_DATA_ROOT '~relative' is not an absolute path" },
             Case { "loud.wav", "2x2", "a file/root", "CORVANE_DATA_ROOT '" + path ("a file/root") + "' cannot be created" },
             Case { "loud.wav", "2x2", "/proc/x", "CORVANE_DATA_ROOT '/proc/x' cannot be created" },
             Case { "loud.wav", "2x2", "a file", "is not a folder that can be written" } })
    {
        SCOPED_TRACE (expected);
        const auto root = juce::String (dataRoot).startsWith ("a file") ? folder.getChildFile (dataRoot).getFullPathName() : juce::String (dataRoot);

        if (root.isNotEmpty())
            setenv ("CORVANE_DATA_ROOT", root.toRawUTF8(), 1);

        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path (input), "--out", path ("out.wav"),
                                    "--config", config, "--bypass", "--tail", "0" });
        unsetenv ("CORVANE_DATA_ROOT");

        EXPECT_EQ (run.exitCode, 0) << run.output;
        EXPECT_TRUE (run.output.contains (expected)) << run.output;
    }
}

TEST_F (CommandLineHost, EveryCommandSaysWhenThePluginCannotUseTheDataRoot)
{
    ASSERT_TRUE (folder.getChildFile ("a file").replaceWithText ("x"));
    ASSERT_EQ (symlink ("nowhere", path ("dangling").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("loop b", path ("loop a").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("loop a", path ("loop b").toRawUTF8()), 0);

    std::vector<std::pair<juce::String, juce::String>> cases {
        { "relative/root", "CORVANE_DATA_ROOT 'relative/root' is not an absolute path" },
        { path ("a file"), "CORVANE_DATA_ROOT '" + path ("a file") + "' is not a folder that can be written" },
        { path ("dangling"), "CORVANE_DATA_ROOT '" + path ("dangling") + "' is a symbolic link that leads nowhere" },
        { path ("loop a"), "CORVANE_DATA_ROOT '" + path ("loop a") + "' is a loop of symbolic links" },
        { path ("dangling/root"), "CORVANE_DATA_ROOT '" + path ("dangling/root") + "' cannot be created: " + path ("dangling") + " is a symbolic link that leads nowhere" } };

    // Each folder on the way to the settings file, below a root or below a home folder of the
    // test's own ("HOME=..."), as a link that leads nowhere, a loop or a file.
    for (const juce::String way : { "root/user", "root/user/Halvorn/Corvane", "home/.config/Halvorn" })
    {
        for (const juce::String shape : { "dangling", "loop", "file" })
        {
            const auto base = folder.getChildFile (shape + juce::String (cases.size())).getChildFile (way.upToFirstOccurrenceOf ("/", false, false));
            const auto last = base.getChildFile (way.fromFirstOccurrenceOf ("/", false, false));
            const auto settings = base.getChildFile (way.startsWith ("root") ? "user/Halvorn/Corvane" : ".config/Halvorn/Corvane");
            ASSERT_TRUE (last.getParentDirectory().createDirectory() && (shape == "file" ? last.replaceWithText ("x")
                             : symlink (shape == "loop" ? last.getFileName().toRawUTF8() : "nowhere", last.getFullPathName().toRawUTF8()) == 0));
            const auto why = shape == "loop" ? " is a loop of symbolic links" : shape == "dangling" ? " is a symbolic link that leads nowhere"
                           : last == settings ? " is not a folder that can be written" : " is not a folder";
            cases.push_back ({ (way.startsWith ("root") ? "" : "HOME=") + base.getFullPathName(), "the plug-in's folder " + settings.getFullPathName()
                                 + (last == settings ? "" : " cannot be created: " + last.getFullPathName()) + why });
        }
    }

    // Said before any work: show, which has no display here, fails only after it.
    for (const auto* command : { "snapshot", "show", "describe" })
    {
        for (const auto& [root, expected] : cases)
        {
            SCOPED_TRACE (juce::String (command) + " " + root);
            juce::StringArray arguments { command, "--module", modulePath() };

            if (juce::String (command) == "snapshot")
                arguments.addArray ({ "--out", path ("out.png") });

            const auto run = runHost (arguments, root.startsWith ("HOME=") ? juce::StringArray { "-u", "CORVANE_DATA_ROOT", root }
                                                                           : juce::StringArray { "CORVANE_DATA_ROOT=" + root });
            EXPECT_TRUE (run.output.startsWith ("corvane-host: " + expected)) << run.output;
        }
    }
}

TEST_F (CommandLineHost, ReadsPresetsUpToTheLimitOfEveryReaderAndNamesTheSizeBeyond)
{
    // Every reader of presets and states holds a document to 16 MB.
    const auto writePreset = [this] (const char* name, int size)
    {
        const juce::String start = R"(<Preset application="Corvane"><param name="MOD 1 Type" value="ENV"/><ExtraData><Notes>)";
        const juce::String end = "</Notes></ExtraData></Preset>";
        const auto notes = juce::String::repeatedString ("x", size - start.length() - end.length());
        return folder.getChildFile (name).replaceWithText (start + notes + end);
    };

    ASSERT_TRUE (writePreset ("long.cvprst", 5 * 1024 * 1024));
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));

    const auto render = [this] (const char* preset)
    {
        return runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"),
                          "--preset", path (preset), "--state-out", path ("out.state") });
    };

    const auto loaded = render ("long.cvprst");
    ASSERT_EQ (loaded.exitCode, 0) << loaded.output;
    juce::MemoryBlock state;
    ASSERT_TRUE (folder.getChildFile ("out.state").loadFileAsData (state));
    const auto stateText = std::string (static_cast<const char*> (state.getData()), state.getSize());
    EXPECT_NE (stateText.find (R"(name="MOD 1 Type" value="ENV")"), std::string::npos);

    // A preset at the limit leaves no room for the rest of the state it is loaded into.
    const struct { int size; const char* message; } refusals[] = {
        { 16 * 1024 * 1024 + 1, "it is 16.0 MB (16777217 bytes), more than the 16.0 MB (16777216 bytes) a preset may hold" },
        { 16 * 1024 * 1024,     "more than the 16.0 MB (16777216 bytes) a state may hold" },
    };

    for (const auto& refusal : refusals)
    {
        ASSERT_TRUE (writePreset ("too long.cvprst", refusal.size));
        const auto refused = render ("too long.cvprst");
        EXPECT_EQ (refused.exitCode, 1);
        EXPECT_TRUE (refused.output.contains (refusal.message)) << refused.output;
    }
}

TEST_F (CommandLineHost, BadInputGetsOneLineAndLeavesTheFilesAlone)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("three.wav"), sine (3, 4800, 48000.0), 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("slow.wav"), sine (1, 400, 4000.0), 4000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("fast.wav"), sine (1, 400, 384000.0), 384000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("brief.wav"), sine (1, 4, 10000000.0), 10000000.0));
    ASSERT_TRUE (folder.getChildFile ("text.wav").replaceWithText ("not audio"));
    ASSERT_TRUE (writeWavBytes (folder.getChildFile ("adpcm.wav"), 2, 4, "audio", 5));
    ASSERT_TRUE (folder.getChildFile ("hangs.cvprst").replaceWithText (R"(<Preset application="Corvane"><??>x)"));
    ASSERT_TRUE (folder.getChildFile ("other.cvprst").replaceWithText (R"(<Preset application="Other"/>)"));
    ASSERT_TRUE (folder.getChildFile ("deep.cvprst").replaceWithText ("<Preset>" + juce::String::repeatedString ("<a>", 40000)));
    ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("RIFF0000WAVE, an earlier output"));
    ASSERT_TRUE (folder.getChildFile ("empty folder").createDirectory());
    ASSERT_TRUE (folder.getChildFile ("sub").createDirectory());
    ASSERT_EQ (link (path ("in.wav").toRawUTF8(), path ("hard link.wav").toRawUTF8()), 0);
    ASSERT_EQ (runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("good.wav"),
                          "--set", "Delay Lines Routing=Mixed 1", "--state-out", path ("good.state") }).exitCode, 0);

    juce::MemoryBlock wav;
    ASSERT_TRUE (folder.getChildFile ("in.wav").loadFileAsData (wav));
    ASSERT_TRUE (folder.getChildFile ("cut.wav").replaceWithData (wav.getData(), wav.getSize() / 2));

    // A header that claims 100 million samples at 8 kHz: too long once resampled to 192 kHz.
    ASSERT_TRUE (writeAudio (juce::WavAudioFormat(), folder.getChildFile ("huge.wav"), sine (1, 8, 8000.0), 8000.0, 16));
    juce::MemoryBlock hugeHeader;
    ASSERT_TRUE (folder.getChildFile ("huge.wav").loadFileAsData (hugeHeader));
    const auto dataChunk = std::string (static_cast<const char*> (hugeHeader.getData()), hugeHeader.getSize()).find ("data");
    ASSERT_NE (dataChunk, std::string::npos);
    const auto claimed = juce::ByteOrder::swapIfBigEndian (static_cast<uint32_t> (200000000));
    std::memcpy (static_cast<char*> (hugeHeader.getData()) + dataChunk + 4, &claimed, 4);
    ASSERT_TRUE (folder.getChildFile ("huge.wav").replaceWithData (hugeHeader.getData(), hugeHeader.getSize()));

    // RF64 files whose ds64 chunk claims a data size near 2^63 (read by JUCE and by the host's
    // own reader), and an extensible file whose channel mask names a speaker WAV does not define.
    // The last gives its data chunk a 32-bit size of its own, which JUCE's reader passes over.
    for (const auto& [name, formatTag, mask, dataSize, chunkSize] : { std::tuple ("rf64 pcm.wav", 1, 0u, int64_t (0x7ffffffffffffff0), -1),
                                                                       std::tuple ("rf64 alaw.wav", 6, 0u, int64_t (0x7ffffffffffffff0), -1),
                                                                       std::tuple ("mask.wav", 1, 0x80000000u, int64_t (4), 4),
                                                                       std::tuple ("rf64 sized.wav", 1, 0u, int64_t (0x7ffffffffffffff0), 4) })
    {
        const auto bits = formatTag == 1 ? 16 : 8;
        juce::MemoryOutputStream out;
        out.write (dataSize > 4 ? "RF64" : "RIFF", 4);
        out.writeInt (-1);
        out.write ("WAVE", 4);

        if (dataSize > 4)
        {
            out.write ("ds64", 4);
            out.writeInt (28);
            out.writeInt64 (int64_t (1) << 32);
            out.writeInt64 (dataSize);
            out.writeInt64 (0);
            out.writeInt (0);
        }

        out.write ("fmt ", 4);
        out.writeInt (40);
        out.writeShort (static_cast<short> (0xfffe));
        out.writeShort (1);
        out.writeInt (8000);
        out.writeInt (8000 * bits / 8);
        out.writeShort (static_cast<short> (bits / 8));
        out.writeShort (static_cast<short> (bits));
        out.writeShort (22);
        out.writeShort (static_cast<short> (bits));
        out.writeInt (static_cast<int> (mask));
        out.writeShort (static_cast<short> (formatTag));
        out.write ("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 14);
        out.write ("data", 4);
        out.writeInt (chunkSize);
        out.writeInt (0);
        ASSERT_TRUE (folder.getChildFile (name).replaceWithData (out.getData(), out.getDataSize()));
    }

    // Headers that JUCE's reader cannot be given, and encodings and rates that no one listed.
    const auto eightBytes = juce::MemoryBlock (8, true);
    const auto badMask = formatChunk (1, 1, 8000, 16, 0x80000000u);
    const auto ds64 = [] (uint32_t size)
    {
        juce::MemoryOutputStream out;
        out.writeInt64 (-1);
        out.writeInt64 (8);
        out.writeInt64 (4);
        out.writeInt (0);
        return juce::MemoryBlock (out.getData(), size);
    };

    for (const auto& [name, container, chunks] : {
             std::tuple ("no data.wav", "RIFF", std::vector<Chunk> { { "fmt ", badMask } }),
             std::tuple ("late format.wav", "RIFF", std::vector<Chunk> { { "data", eightBytes }, { "fmt ", badMask } }),
             std::tuple ("7-bit.wav", "RIFF", std::vector<Chunk> { { "fmt ", formatChunk (1, 2, 8000, 7) }, { "data", eightBytes } }),
             std::tuple ("200 channels.wav", "RIFF", std::vector<Chunk> { { "fmt ", formatChunk (1, 200, 8000, 16, 0u) }, { "data", eightBytes } }),
             std::tuple ("65535 channels.wav", "RIFF", std::vector<Chunk> { { "fmt ", formatChunk (1, 65535, 8000, 16) }, { "data", eightBytes } }),
             std::tuple ("late ds64.wav", "RF64", std::vector<Chunk> { { "fmt ", formatChunk (1, 1, 8000, 16) }, { "ds64", ds64 (28) },
                                                                       { "data", eightBytes, 0xffffffffu } }),
             std::tuple ("short ds64.wav", "RF64", std::vector<Chunk> { { "ds64", ds64 (16) }, { "fmt ", formatChunk (1, 1, 8000, 16) },
                                                                        { "data", eightBytes, 0xffffffffu } }),
             std::tuple ("short fmt.wav", "RIFF", std::vector<Chunk> { { "fmt ", juce::MemoryBlock (formatChunk (1, 1, 8000, 16).getData(), 14) },
                                                                       { "data", eightBytes } }) })
        ASSERT_TRUE (writeChunks (folder.getChildFile (name), container, chunks)) << name;

    for (const auto& [name, formatTag, bits, sampleRate] : { std::tuple ("16-bit float.wav", 3, 16, 8000u), std::tuple ("24-bit float.wav", 3, 24, 8000u),
                                                             std::tuple ("rate.wav", 1, 16, 2147483647u), std::tuple ("pcm rate.wav", 1, 16, 0xffffffffu),
                                                             std::tuple ("float rate.wav", 3, 64, 0xffffffffu) })
        ASSERT_TRUE (writeWavBytes (folder.getChildFile (name), formatTag, bits, eightBytes.getData(), eightBytes.getSize(), sampleRate)) << name;

    // Compressed files cut to 40 % (an Ogg file also within its headers), and ones whose header
    // announces more than the 3 s of audio they hold.
    const auto audio = sine (2, 3 * 48000, 48000.0);
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("whole.flac"), audio, 48000.0, 16));
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("whole.ogg"), audio, 48000.0, 16));
    ASSERT_TRUE (folder.getChildFile ("whole.ogg").copyFileTo (folder.getChildFile ("headless.ogg")));
    ASSERT_EQ (truncate (path ("headless.ogg").toRawUTF8(), 1000), 0);

    for (const auto* format : { "flac", "ogg" })
    {
        juce::MemoryBlock whole;
        ASSERT_TRUE (folder.getChildFile (juce::String ("whole.") + format).loadFileAsData (whole));
        ASSERT_TRUE (folder.getChildFile (juce::String ("cut.") + format).replaceWithData (whole.getData(), whole.getSize() * 4 / 10));

        auto* bytes = static_cast<unsigned char*> (whole.getData());

        if (juce::String (format) == "flac")
        {
            // The 36-bit sample count at the end of the stream info block.
            bytes[21] &= 0xf0;
            const auto claimed = juce::ByteOrder::swapIfLittleEndian (static_cast<uint32_t> (480000));
            std::memcpy (bytes + 22, &claimed, 4);
        }
        else
        {
            // The last page's sample position, with the page's checksum made to match.
            const auto last = std::string (static_cast<const char*> (whole.getData()), whole.getSize()).rfind ("OggS");
            ASSERT_NE (last, std::string::npos);
            const auto claimed = juce::ByteOrder::swapIfBigEndian (static_cast<int64_t> (480000));
            std::memcpy (bytes + last + 6, &claimed, 8);
            auto page = pageAt (bytes + last);
            ogg_page_checksum_set (&page);
        }

        ASSERT_TRUE (folder.getChildFile (juce::String ("lying.") + format).replaceWithData (whole.getData(), whole.getSize()));
    }

    juce::MemoryBlock state;
    ASSERT_TRUE (folder.getChildFile ("good.state").loadFileAsData (state));
    ASSERT_TRUE (folder.getChildFile ("cut.state").replaceWithData (state.getData(), state.getSize() - 10));

    // States the plug-in reads only in part, or not at all, while reporting success: a damaged
    // marker of its document, a garbled document, a routing it does not have.
    const auto stateText = std::string (static_cast<const char*> (state.getData()), state.getSize());

    for (const auto& [name, from, to] : { std::tuple ("marker.state", "VC2!", "VC3!"),
                                          std::tuple ("garbled.state", "<Preset ", "<Pre<et "),
                                          std::tuple ("routing.state", R"("Delay Lines Routing" value="Mixed 1")",
                                                                        R"("Delay Lines Routing" value="Mixed 9")") })
    {
        auto damaged = stateText;
        const auto at = damaged.find (from);
        ASSERT_NE (at, std::string::npos) << from;
        damaged.replace (at, std::strlen (from), to);
        ASSERT_TRUE (folder.getChildFile (name).replaceWithData (damaged.data(), damaged.size()));
    }

    // Symbolic links that lead to one another, and a chain of one more than the system follows.
    ASSERT_EQ (symlink ("loop b", path ("loop a").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("loop a", path ("loop b").toRawUTF8()), 0);

    for (int link = 0; link <= 40; ++link)
        ASSERT_EQ (symlink (link < 40 ? ("chain " + juce::String (link + 1)).toRawUTF8() : "chain end.wav",
                            path (("chain " + juce::String (link)).toRawUTF8()).toRawUTF8()), 0);

    const juce::StringArray render { "render", "--module", modulePath(), "--out", path ("out.wav") };
    const auto with = [&render] (juce::StringArray extra) { auto arguments = render; arguments.addArray (extra); return arguments; };
    const auto renderInto = [this] (const juce::String& out, juce::StringArray extra)
    {
        juce::StringArray arguments { "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", out };
        arguments.addArray (extra);
        return arguments;
    };

    // No file can have a name longer than the system takes, so none can be written under one.
    const auto longName = path (juce::String::repeatedString ("n", 256).toRawUTF8());
    const auto tooLong = " is a name longer than the system takes";

    struct Case { juce::StringArray arguments; juce::String message; int exitCode; };
    const std::vector<Case> cases {
        { with ({ "--in", path ("missing.wav") }), "no such file", 2 },
        { with ({ "--in", path ("empty folder") }), "is a folder", 2 },
        { with ({ "--in", path ("in.wav"), "--in", path ("in.wav") }), "--in is given more than once", 2 },
        { with ({ "--out", path ("other.wav") }), "--out is given more than once", 2 },
        { { "render", "--module", modulePath(), "--out", "-" }, "'-' (standard output) is not one", 2 },
        { with ({ "--in", path ("text.wav") }), "not a WAV, AIFF, FLAC or Ogg Vorbis file", 1 },
        { with ({ "--in", path ("adpcm.wav") }), "its encoding (Microsoft ADPCM) is not supported", 1 },
        { with ({ "--in", path ("three.wav") }), "only mono and stereo", 1 },
        { with ({ "--in", path ("cut.wav") }), "cut short", 1 },
        { with ({ "--in", path ("slow.wav") }), "sample rate of 4000 Hz is below 8000 Hz", 1 },
        { with ({ "--in", path ("slow.wav"), "--rate", "48000" }), "is below 8000 Hz", 1 },
        { with ({ "--in", path ("fast.wav") }), "at its own rate of 384000 Hz (8000 to 192000): choose one with --rate", 2 },
        { with ({ "--in", path ("brief.wav"), "--rate", "8000" }), "at 8000 Hz it is shorter than one sample", 1 },
        { with ({ "--in", path ("huge.wav"), "--rate", "192000" }), "cut short", 1 },
        { with ({ "--in", path ("huge.wav") }), "cut short", 1 },
        { with ({ "--in", path ("rf64 pcm.wav") }), "cut short", 1 },
        { with ({ "--in", path ("rf64 alaw.wav") }), "cut short", 1 },
        { with ({ "--in", path ("mask.wav") }), "its channel mask (0x80000000) names speakers that WAV does not define", 1 },
        { with ({ "--in", path ("rf64 sized.wav") }), "cut short", 1 },
        { with ({ "--in", path ("no data.wav") }), "its channel mask (0x80000000) names speakers that WAV does not define", 1 },
        { with ({ "--in", path ("late format.wav") }), "the WAV header is damaged: its format chunk follows its data chunk", 1 },
        { with ({ "--in", path ("200 channels.wav") }), "it has 200 channels; only mono and stereo files can be rendered", 1 },
        { with ({ "--in", path ("65535 channels.wav") }), "it has 65535 channels; only mono and stereo files can be rendered", 1 },
        { with ({ "--in", path ("late ds64.wav") }), "the WAV header is damaged: it does not begin with its RF64 size chunk (ds64)", 1 },
        { with ({ "--in", path ("short ds64.wav") }), "the WAV header is damaged: its RF64 size chunk (ds64) is too short", 1 },
        { with ({ "--in", path ("short fmt.wav") }), "the WAV header is damaged: its format chunk is too short", 1 },
        { with ({ "--in", path ("7-bit.wav") }), "its encoding (7-bit integer PCM) is not supported", 1 },
        { with ({ "--in", path ("16-bit float.wav") }), "its encoding (16-bit float) is not supported", 1 },
        { with ({ "--in", path ("24-bit float.wav") }), "its encoding (24-bit float) is not supported", 1 },
        { with ({ "--in", path ("rate.wav") }), "the WAV header is damaged: its sample rate reads 2147483647 Hz, which does not match its "
                                                 "byte rate of 16000 bytes a second", 1 },
        { with ({ "--in", path ("rate.wav"), "--rate", "48000" }), "its sample rate reads 2147483647 Hz", 1 },
        { with ({ "--in", path ("pcm rate.wav") }), "its sample rate reads 4294967295 Hz", 1 },
        { with ({ "--in", path ("float rate.wav"), "--rate", "48000" }), "its sample rate reads 4294967295 Hz", 1 },
        { with ({ "--in", path ("cut.flac") }), "cannot read " + path ("cut.flac") + ": the file is cut short", 1 },
        { with ({ "--in", path ("lying.flac") }), "cannot read " + path ("lying.flac") + ": the file is cut short", 1 },
        { with ({ "--in", path ("cut.ogg") }), "cannot read " + path ("cut.ogg") + ": the file is cut short", 1 },
        { with ({ "--in", path ("lying.ogg") }), "cannot read " + path ("lying.ogg") + ": the file is cut short", 1 },
        { with ({ "--in", path ("headless.ogg") }), "cannot read " + path ("headless.ogg") + ": the file is cut short", 1 },
        { { "show", "--module", modulePath(), "--in", path ("cut.ogg") }, "cannot read " + path ("cut.ogg") + ": the file is cut short", 1 },
        { with ({ "--set", "200=0.5" }), "unknown parameter '200'", 2 },
        { with ({ "--set", "Delay Lines Routng=Serial" }), "(nearest: 'Delay Lines Routing'", 2 },
        { with ({ "--set", "Delay Lines Routing=Seriel" }), "is not one of: Parallel, Serial", 2 },
        { with ({ "--set", "Maximum Delay Length=16" }), "out of range (1 to 15)", 2 },
        { with ({ "--set", "Line 1 Delay Left Time=5000 ms" }), "out of range ('0.10 ms' to '1000.00 ms')", 2 },
        { with ({ "--set", "Line 1 Delay Left Time=20 Hz" }), "is not in its unit", 2 },
        { with ({ "--set", "5=1.5" }), "is not one of: ", 2 },
        { with ({ "--set", "Feedbak=0.5" }), "(nearest: 'Line 1 Feedback'", 2 },
        { with ({ "--set", "Line 1 Delay Left Duration=3/16" }), "int, Line 1 Delay Left Duration Denominator)", 2 },
        { with ({ "--set", "FX Amount=1", "--set", "FX Amount=0" }), "another --set value undoes it", 2 },
        { with ({ "--set", "Line 1 Delay Left Duration Nominator=3/8" }),
          "it does not take effect (it shows '3/16'); it sets Line 1 Delay Left Duration Nominator only: set "
          "Line 1 Delay Left Duration Denominator with a --set of its own", 2 },
        { with ({ "--set", "5" }), "NAME=VALUE", 2 },
        { with ({ "--set", "=0.5" }), "NAME=VALUE", 2 },
        { with ({ "--preset", path ("text.wav") }), "not a preset file", 1 },
        { with ({ "--preset", path ("missing.cvprst") }), "no such file", 2 },
        { with ({ "--preset", path ("hangs.cvprst") }), "not a preset file", 1 },
        { with ({ "--preset", path ("other.cvprst") }), "it is a preset of Other", 1 },
        { with ({ "--preset", path ("deep.cvprst") }), "not a preset file", 1 },
        { with ({ "--config", "2x1" }), "--config", 2 },
        { with ({ "--rate", "1000" }), "out of range", 2 },
        { with ({ "--rate", "44100.5" }), "whole number", 2 },
        { with ({ "--block", "0" }), "out of range", 2 },
        { with ({ "--block", "1e3" }), "whole number", 2 },
        { with ({ "--block", "99999999999" }), "out of range (1 to 8192)", 2 },
        { with ({ "--bpm", "5000" }), "out of range", 2 },
        { with ({ "--bpm", "1e2" }), "needs a number", 2 },
        { with ({ "--tail", "forever" }), "needs a number", 2 },
        { with ({ "--tail", "61" }), "out of range", 2 },
        { with ({ "--preroll", "-1" }), "out of range", 2 },
        { with ({ "--mode", "fast" }), "offline or realtime", 2 },
        { with ({ "--state-in", path ("text.wav") }), "not a state file", 1 },
        { with ({ "--state-in", path ("cut.state") }), "cut short", 1 },
        { with ({ "--state-in", path ("missing.state") }), "no such file", 2 },
        { with ({ "--state-in", path ("marker.state") }), "its processor state is damaged", 1 },
        { with ({ "--state-in", path ("garbled.state") }), "its processor state is damaged", 1 },
        { with ({ "--state-in", path ("routing.state") }), "the plug-in did not take Delay Lines Routing ('Mixed 9')", 1 },
        { with ({ "--state-out", path ("empty folder") }), "is a folder", 2 },
        { with ({ "--frobnicate" }), "unknown option", 2 },
        { with ({ "--in" }), "needs a value", 2 },
        { renderInto (path ("sub/../in.wav"), {}), "is the file given to --in", 2 },
        { renderInto (path ("hard link.wav"), {}), "is the file given to --in", 2 },
        { renderInto (path ("x.wav"), { "--state-out", path ("in.wav") }), "is the file given to --in", 2 },
        { renderInto (path ("x.wav"), { "--state-out", path ("x.wav") }), "is the file given to --out", 2 },
        { renderInto (modulePath(), {}), "is the file given to --module", 2 },
        { renderInto (path ("loop a"), {}), "--out " + path ("loop a") + " is a loop of symbolic links", 2 },
        { renderInto (path ("chain 0"), {}), "--out " + path ("chain 0") + " leads through too many links (a chain of", 2 },
        { with ({ "--bypass", "--set", "Master Bypass=0" }), "--set Master Bypass=0: --bypass undoes it", 2 },
        { { "render", "--module", modulePath(), "--out", path ("missing folder/out.wav") }, "is in a folder that does not exist", 2 },
        { { "render", "--module", modulePath(), "--out", folder.getFullPathName() }, "is a folder", 2 },
        { renderInto (longName, {}), "--out " + longName + tooLong, 2 },
        { with ({ "--state-out", longName }), "--state-out " + longName + tooLong, 2 },
        { { "snapshot", "--module", modulePath(), "--out", longName }, "--out " + longName + tooLong, 2 },
        { { "render", "--module", path ("missing.so"), "--out", path ("out.wav") }, "no such file", 2 },
        { { "render", "--module", path ("text.wav"), "--out", path ("out.wav") }, "cannot load the module", 1 },
        { { "render" }, "needs --out", 2 },
        { { "describe", "--bypass" }, "--bypass does not belong to describe", 2 },
        { { "play" }, "unknown command", 2 },
        { {}, "no command", 2 }
    };

    for (const auto& [arguments, message, exitCode] : cases)
    {
        SCOPED_TRACE (arguments.joinIntoString (" "));
        const auto run = runHost (arguments);
        EXPECT_EQ (run.exitCode, exitCode);
        EXPECT_TRUE (run.output.startsWith ("corvane-host: ")) << run.output;
        EXPECT_TRUE (run.output.contains (message)) << run.output;

        // A mistake in the command line points to the help that shows how to put it right.
        const auto command = arguments.isEmpty() || arguments[0] == "play" ? juce::String() : arguments[0] + " ";
        EXPECT_EQ (run.output.trimEnd().endsWith ("; see 'corvane-host " + command + "--help'"), exitCode == 2) << run.output;
        EXPECT_EQ (run.output.trimEnd().indexOfChar ('\n'), -1) << run.output;
        EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");
    }

    // A pipe is refused before it is read: the readers look at the input more than once.
    juce::ChildProcess piped;
    ASSERT_TRUE (piped.start (bounded ({ "/bin/sh", "-c", "cat \"$0\" | \"$1\" render --module \"$2\" --in /dev/stdin --out \"$3\"", path ("in.wav"),
                                         std::getenv ("CORVANE_HOST"), modulePath(), path ("out.wav") })));
    const auto pipeRefusal = piped.readAllProcessOutput();
    piped.waitForProcessToFinish (60000);
    EXPECT_EQ (piped.getExitCode(), 2u);
    EXPECT_TRUE (pipeRefusal.startsWith ("corvane-host: --in /dev/stdin is a pipe, not a file")) << pipeRefusal;
    EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");

    juce::MemoryBlock input;
    ASSERT_TRUE (folder.getChildFile ("in.wav").loadFileAsData (input));
    EXPECT_EQ (input, wav);
    EXPECT_TRUE (folder.getChildFile ("empty folder").isDirectory());
    EXPECT_FALSE (folder.getChildFile ("missing folder").exists());
    EXPECT_FALSE (folder.getChildFile ("x.wav").exists());
    EXPECT_TRUE (folder.getChildFile ("loop a").isSymbolicLink() && folder.getChildFile ("loop b").isSymbolicLink());
    EXPECT_TRUE (folder.getChildFile ("chain 0").isSymbolicLink() && ! folder.getChildFile ("chain end.wav").exists());
}

TEST_F (CommandLineHost, WritesEveryNameTheSystemTakes)
{
    // The longest path the system takes, ended by a short name: folders down to where it fits.
    auto deep = folder;

    for (auto room = PATH_MAX - 1 - static_cast<int> (std::strlen ("/o.wav")) - folder.getFullPathName().length(); room > 0;)
    {
        // Each folder takes a slash and a name, and leaves room for a name or none.
        auto length = juce::jmin (200, room - 1);
        length -= room - (length + 1) == 1 ? 1 : 0;
        deep = deep.getChildFile (juce::String::repeatedString ("d", length));
        room -= length + 1;
    }

    ASSERT_TRUE (deep.createDirectory());
    ASSERT_EQ (deep.getChildFile ("o.wav").getFullPathName().length(), PATH_MAX - 1);
    const auto longName = path ((juce::String::repeatedString ("n", 246) + ".wav").toRawUTF8());

    struct Case { const char* option; juce::String name; };

    for (const auto& [option, name] : { Case { "--out", longName }, Case { "--state-out", longName },
                                        Case { "--out", deep.getChildFile ("o.wav").getFullPathName() } })
    {
        SCOPED_TRACE (juce::String (option) + ", " + juce::String (name.length()) + " bytes");
        juce::StringArray arguments { "render", "--module", modulePath(), "--tail", "0", option, name };

        if (juce::String (option) == "--state-out")
            arguments.addArray ({ "--out", path ("out.wav") });

        const auto run = runHost (arguments);
        ASSERT_EQ (run.exitCode, 0) << run.output;
        EXPECT_TRUE (juce::File (name).loadFileAsString().startsWith (juce::String (option) == "--out" ? "RIFF" : "CVHSTATE"));
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, true, ".corvane-host-*").isEmpty());
        ASSERT_TRUE (juce::File (name).deleteFile());
    }
}

TEST_F (CommandLineHost, WarnsOfPresetValuesThePluginDoesNotTake)
{
    // A text that matches none of a parameter's values sets value 0; a number in other digits
    // and a switch's word in other letters are taken.
    struct Case { const char* name; const char* value; const char* used; };
    const Case cases[] { { "Delay Lines Routing", "Mixed 9", "Parallel" }, { "Line 1 Filter Type", "bp", "Off" },
                         { "Line 1 Filter Feedback Loop", "ON", nullptr }, { "Line 1 Feedback", "0.250000", nullptr },
                         { "MOD 1 Type", "ENV", nullptr } };

    juce::XmlElement preset ("Preset");
    preset.setAttribute ("application", "Corvane");

    for (const auto& [name, value, used] : cases)
    {
        auto* param = preset.createNewChildElement ("param");
        param->setAttribute ("name", name);
        param->setAttribute ("value", value);
    }

    ASSERT_TRUE (preset.writeTo (folder.getChildFile ("p.cvprst")));
    const auto run = runHost ({ "render", "--module", modulePath(), "--out", path ("out.wav"), "--tail", "0", "--preset", path ("p.cvprst") });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    for (const auto& [name, value, used] : cases)
        EXPECT_EQ (run.output.contains ("corvane-host: warning: the preset sets " + juce::String (name) + " to '" + value
                                        + "', which the plug-in does not take: it uses '" + (used != nullptr ? used : "") + "'\n"),
                   used != nullptr) << run.output;

    int warnings = 0;

    for (const auto& line : juce::StringArray::fromLines (run.output))
        warnings += line.contains ("warning:") ? 1 : 0;

    EXPECT_EQ (warnings, 2) << run.output;
}

TEST_F (CommandLineHost, WritesThroughLinksIntoFifosAndRefusesDevices)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("long.wav"), sine (2, 96000, 48000.0), 48000.0));

    // A device node of the test's own where one can be made, so that a fault destroys nothing real.
    auto device = folder.getChildFile ("null device");

    if (mknod (device.getFullPathName().toRawUTF8(), S_IFCHR | 0666, makedev (1, 3)) != 0)
        device = juce::File ("/dev/null");

    enum class Kind { plainFile, link, fifo, fifoLeftEarly, device };
    struct Case { const char* command; const char* option; Kind kind; const char* written; };

    for (const auto& [command, option, kind, written] : { Case { "render", "--out", Kind::plainFile, "RIFF" },
                                                          Case { "render", "--out", Kind::link, "RIFF" },
                                                          Case { "render", "--state-out", Kind::link, "CVHSTATE" },
                                                          Case { "render", "--out", Kind::fifo, "RIFF" },
                                                          Case { "render", "--out", Kind::fifoLeftEarly, "" },
                                                          Case { "render", "--state-out", Kind::device, "" },
                                                          Case { "snapshot", "--out", Kind::device, "" } })
    {
        SCOPED_TRACE (juce::String (command) + " " + option + " " + juce::String (static_cast<int> (kind)));
        const auto name = kind == Kind::device ? device : folder.getChildFile ("output");
        const auto target = kind == Kind::link ? folder.getChildFile ("target") : name;
        if (kind != Kind::device)
        {
            name.deleteFile();
            target.deleteFile();
        }

        const auto made = kind == Kind::plainFile ? name.replaceWithText ("RIFF0000WAVE, an earlier output")
                        : kind == Kind::link      ? symlink ("target", name.getFullPathName().toRawUTF8()) == 0
                        : kind == Kind::fifo || kind == Kind::fifoLeftEarly ? mkfifo (name.getFullPathName().toRawUTF8(), 0600) == 0
                                                  : true;
        ASSERT_TRUE (made);

        // The FIFO's reader takes what arrives until the host has ended and nothing is left, or
        // only its first block where it leaves early. Its end is closed on exec: a host started
        // meanwhile that held it too would never see the reader leave.
        std::atomic<bool> hostEnded { false };
        juce::MemoryBlock received;
        std::thread reader ([&, kind = kind]
        {
            const auto fifo = kind == Kind::fifo || kind == Kind::fifoLeftEarly ? open (name.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;

            for (char block[65536]; fifo >= 0;)
            {
                const auto ended = hostEnded.load();
                const auto count = read (fifo, block, sizeof (block));

                if (count > 0)
                    received.append (block, static_cast<size_t> (count));

                if ((count > 0 && kind == Kind::fifoLeftEarly) || (count <= 0 && ended))
                    break;

                if (count <= 0)
                    juce::Thread::sleep (5);
            }

            if (fifo >= 0)
                close (fifo);
        });

        juce::StringArray arguments { command, "--module", modulePath(), option, name.getFullPathName() };

        if (juce::String (command) == "render")
            arguments.addArray ({ "--in", path (kind == Kind::fifoLeftEarly ? "long.wav" : "in.wav"), "--tail", "0" });

        if (juce::String (option) == "--state-out")
            arguments.addArray ({ "--out", path ("out.wav") });

        const auto run = runHost (arguments);
        hostEnded = true;
        reader.join();

        struct stat info {};
        ASSERT_EQ (lstat (name.getFullPathName().toRawUTF8(), &info), 0);
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty());

        if (kind == Kind::device)
        {
            EXPECT_EQ (run.exitCode, 2);
            EXPECT_TRUE (run.output.contains (juce::String (option) + " " + name.getFullPathName() + " is a device, not a file")) << run.output;
            EXPECT_TRUE (S_ISCHR (info.st_mode));
            continue;
        }

        if (kind == Kind::fifoLeftEarly)
        {
            EXPECT_EQ (run.exitCode, 1);
            EXPECT_TRUE (run.output.contains ("cannot write " + name.getFullPathName() + ": Broken pipe")) << run.output;
            continue;
        }

        ASSERT_EQ (run.exitCode, 0) << run.output;
        EXPECT_EQ (S_ISLNK (info.st_mode) != 0, kind == Kind::link);
        EXPECT_EQ (S_ISFIFO (info.st_mode) != 0, kind == Kind::fifo);

        if (kind != Kind::fifo)
        {
            ASSERT_TRUE (target.loadFileAsData (received));
        }

        EXPECT_TRUE (received.toString().startsWith (written));
        EXPECT_GT (received.getSize(), size_t (4800));
    }
}

TEST_F (CommandLineHost, OutputsKeepThePermissionsOfTheFilesTheyReplaceAsThePluginsDo)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));

    const auto render = [this] (const juce::StringArray& outputs) -> std::function<bool()>
    {
        return [this, outputs]
        {
            juce::StringArray arguments { "render", "--module", modulePath(), "--in", path ("in.wav"), "--tail", "0.5" };
            arguments.addArray (outputs);
            return runHost (arguments).exitCode == 0;
        };
    };

    // The plug-in's writer: its temporary file has the permissions before it holds a byte.
    const auto write = [this] (const char* name) -> std::function<bool()>
    {
        return [this, name]
        {
            AtomicFileWriter writer (folder.getChildFile (name));
            const auto temporary = folder.findChildFiles (juce::File::findFiles, false, ".tmp-*");
            struct stat own {}, replaced {};
            EXPECT_TRUE (temporary.size() == 1 && stat (temporary[0].getFullPathName().toRawUTF8(), &own) == 0
                         && stat (path (name).toRawUTF8(), &replaced) == 0 && own.st_mode == replaced.st_mode);
            return writer.getStream() != nullptr && writer.getStream()->writeText ("new", false, false, nullptr)
                && writer.commit() == AtomicFileWriter::Outcome::written;
        };
    };

    struct Case { const char* name; mode_t mode; std::function<bool()> replace; };
    const Case cases[] =
    {
        { "private.cvprst", 0600, write ("private.cvprst") },
        { "shared.cvprst", 0666, write ("shared.cvprst") },
        { "private.state", 0600, render ({ "--out", path ("other.wav"), "--state-out", path ("private.state") }) },
        { "group.wav", 0640, render ({ "--out", path ("group.wav") }) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        // Each output replaces only a file of its own kind.
        const auto name = juce::String (c.name);
        const auto old = (name.endsWith (".state") ? "CVHSTATE" : name.endsWith (".wav") ? "RIFF0000WAVE" : "") + juce::String (", old");
        ASSERT_TRUE (folder.getChildFile (c.name).replaceWithText (old));
        ASSERT_EQ (chmod (path (c.name).toRawUTF8(), c.mode), 0);

        EXPECT_TRUE (c.replace());
        struct stat info {};
        ASSERT_EQ (stat (path (c.name).toRawUTF8(), &info), 0);
        EXPECT_EQ (info.st_mode & 07777, c.mode);
        EXPECT_NE (folder.getChildFile (c.name).loadFileAsString(), old);
    }
}

TEST_F (CommandLineHost, RemovesItsTemporaryFileWhenStopped)
{
    // Some of these end the program with a core dump, which is not wanted here.
    const rlimit noCore { 0, 0 };
    ASSERT_EQ (setrlimit (RLIMIT_CORE, &noCore), 0);

    for (const auto signalNumber : { SIGINT, SIGTERM, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU,
                                     SIGXFSZ, SIGIO, SIGPWR, SIGSTKFLT, SIGRTMIN, SIGRTMAX })
    {
        SCOPED_TRACE (signalNumber);
        ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("RIFF0000WAVE, an earlier output"));

        // One sample a block: a long render, stopped while it writes.
        const auto child = startHost ({ "render", "--module", modulePath(), "--out", path ("out.wav"), "--block", "1", "--tail", "60",
                                        "--preroll", "0" });
        ASSERT_NE (child, 0);

        for (int wait = 0; wait < 600 && folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty(); ++wait)
            juce::Thread::sleep (100);

        EXPECT_FALSE (folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty());
        kill (child, signalNumber);
        int status = 0;
        ASSERT_TRUE (waitForHost (child, status));

        EXPECT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == signalNumber) << status;
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty());
        EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");
    }
}

TEST_F (CommandLineHost, ChecksAnOutputAgainJustBeforeReplacingIt)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (1, 4800, 48000.0), 48000.0));
    juce::MemoryBlock input;
    ASSERT_TRUE (folder.getChildFile ("in.wav").loadFileAsData (input));

    // What the output's name leads to changes while the render runs (one sample a block).
    struct Case { std::function<bool (const juce::File&)> change; juce::String reason; };
    const Case cases[] {
        { [this] (const juce::File& out) { return out.deleteFile() && symlink (path ("in.wav").toRawUTF8(), out.getFullPathName().toRawUTF8()) == 0; },
          "it is the file given to --in" },
        { [] (const juce::File& out) { return out.replaceWithText ("notes of the user's"); }, "it is a text file, not a WAV file" },
    };

    for (const auto& [change, reason] : cases)
    {
        SCOPED_TRACE (reason);
        const auto out = folder.getChildFile ("out.wav");
        out.deleteFile();
        const auto child = startHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", out.getFullPathName(),
                                        "--block", "1", "--tail", "3", "--preroll", "0" });
        ASSERT_NE (child, 0);

        for (int wait = 0; wait < 600 && folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty(); ++wait)
            juce::Thread::sleep (100);

        ASSERT_TRUE (change (out));
        const auto changed = out.loadFileAsString();
        int status = 0;
        ASSERT_TRUE (waitForHost (child, status));

        EXPECT_TRUE (WIFEXITED (status) && WEXITSTATUS (status) == 1) << status;
        EXPECT_EQ (out.loadFileAsString(), changed);
        juce::MemoryBlock kept;
        EXPECT_TRUE (folder.getChildFile ("in.wav").loadFileAsData (kept) && kept == input);
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty());
    }
}

TEST_F (CommandLineHost, RefusesAnInputThatShrinksWhileItIsRead)
{
    const auto audio = sine (1, 8000 * 30, 8000.0);
    ASSERT_TRUE (writeAudio (juce::WavAudioFormat(), folder.getChildFile ("in.wav"), audio, 8000.0, 16));
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("in.flac"), audio, 8000.0, 16));

    for (const auto* name : { "in.wav", "in.flac" })
    {
        SCOPED_TRACE (name);
        ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("RIFF0000WAVE, an earlier output"));

        // One sample a block: a long render, during which the file loses its second half.
        juce::ChildProcess host;
        ASSERT_TRUE (host.start (bounded ({ std::getenv ("CORVANE_HOST"), "render", "--module", modulePath(), "--in", path (name),
                                            "--out", path ("out.wav"), "--block", "1", "--preroll", "0", "--tail", "0" })));

        for (int wait = 0; wait < 600 && folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty(); ++wait)
            juce::Thread::sleep (100);

        ASSERT_EQ (truncate (path (name).toRawUTF8(), folder.getChildFile (name).getSize() / 2), 0);
        const auto output = host.readAllProcessOutput();
        host.waitForProcessToFinish (120000);
        EXPECT_EQ (host.getExitCode(), 1u);
        EXPECT_EQ (output, "corvane-host: cannot read " + path (name) + ": the file is cut short\n");
        EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");
    }
}

TEST_F (CommandLineHost, FinishesFromTheOpenInputWhateverHappensToItsName)
{
    const auto audio = sine (1, 8000 * 30, 8000.0);
    ASSERT_TRUE (writeAudio (juce::WavAudioFormat(), folder.getChildFile ("other.wav"), sine (1, 800, 8000.0), 8000.0, 16));

    for (const auto* change : { "moved", "deleted", "replaced" })
    {
        SCOPED_TRACE (change);
        ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("in.flac"), audio, 8000.0, 16));

        // One sample a block: a long render, during which the name comes to lead elsewhere.
        juce::ChildProcess host;
        ASSERT_TRUE (host.start (bounded ({ std::getenv ("CORVANE_HOST"), "render", "--module", modulePath(), "--in", path ("in.flac"),
                                   "--out", path ("out.wav"), "--block", "1", "--preroll", "0", "--tail", "0", "--config", "1x1" })));

        for (int wait = 0; wait < 600 && folder.findChildFiles (juce::File::findFiles, false, ".corvane-host-*").isEmpty(); ++wait)
            juce::Thread::sleep (100);

        const auto other = folder.getChildFile ("copy of other.wav");
        ASSERT_TRUE (folder.getChildFile ("other.wav").copyFileTo (other));
        ASSERT_EQ (juce::String (change) == "moved"   ? std::rename (path ("in.flac").toRawUTF8(), path ("elsewhere.flac").toRawUTF8())
                 : juce::String (change) == "deleted" ? std::remove (path ("in.flac").toRawUTF8())
                                                      : std::rename (other.getFullPathName().toRawUTF8(), path ("in.flac").toRawUTF8()), 0);
        const auto output = host.readAllProcessOutput();
        host.waitForProcessToFinish (120000);
        ASSERT_EQ (host.getExitCode(), 0u) << output;
        EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), audio.getNumSamples());
    }
}

TEST_F (CommandLineHost, ReadsDoubleFloatALawAndULawWavFiles)
{
    const double doubles[] { 0.25, -0.5, 1.0 / 3.0 };
    const uint8_t aLaw[] { 0xd5, 0xaa, 0x2a }, uLaw[] { 0x80, 0x00, 0xff };

    // The expected values are G.711's own table entries, in 16-bit steps.
    struct Case { int formatTag; int bits; const void* data; size_t size; std::vector<float> expected; };

    for (const auto& [formatTag, bits, data, size, expected] : {
             Case { 3, 64, doubles, sizeof (doubles), { 0.25f, -0.5f, static_cast<float> (1.0 / 3.0) } },
             Case { 6, 8, aLaw, sizeof (aLaw), { 8.0f / 32768.0f, 32256.0f / 32768.0f, -32256.0f / 32768.0f } },
             Case { 7, 8, uLaw, sizeof (uLaw), { 32124.0f / 32768.0f, -32124.0f / 32768.0f, 0.0f } } })
    {
        SCOPED_TRACE (formatTag);
        ASSERT_TRUE (writeWavBytes (folder.getChildFile ("in.wav"), formatTag, bits, data, size));

        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });
        ASSERT_EQ (run.exitCode, 0) << run.output;

        const auto output = readWav (folder.getChildFile ("out.wav"));
        ASSERT_EQ (output.audio.getNumSamples(), 3);

        for (int i = 0; i < 3; ++i)
            EXPECT_EQ (output.audio.getSample (0, i), expected[static_cast<size_t> (i)]) << i;
    }
}

TEST_F (CommandLineHost, RefusesAiffHeadersThatJuceWouldMisread)
{
    const auto bytes = [] (const char* text, size_t size) { return juce::MemoryBlock (text, size); };
    const auto sixFrames = soundChunk (0, juce::MemoryBlock (12, true));

    const auto categories = [] (const std::string& tags) { return juce::MemoryBlock ((std::string (4, '\0') + tags).data(), tags.size() + 4); };
    const auto marks = [] (int count, int numChunks)
    {
        std::vector<Chunk> chunks;

        for (int i = 0; i < numChunks; ++i)
            chunks.push_back ({ "MARK", juce::MemoryBlock ("\xff\xff\0\0\0\0\0\0\0\0", 10) });

        chunks[0].content[0] = static_cast<char> (count >> 8);
        chunks[0].content[1] = static_cast<char> (count);
        return chunks;
    };

    // An empty message stands for a file that is read whole: six frames of silence.
    struct Case { juce::String name; const char* type; std::vector<Chunk> chunks; juce::String message; };
    std::vector<Case> cases {
        { "0-bit", "AIFF", { { "COMM", commonChunk (1, 6, 0) }, { "SSND", sixFrames } }, "the AIFF header is damaged: its sample size is 0 bits" },
        { "4-bit", "AIFF", { { "COMM", commonChunk (1, 6, 4) }, { "SSND", sixFrames } }, "its encoding (4-bit integer PCM) is not supported" },
        { "12-bit", "AIFF", { { "COMM", commonChunk (1, 6, 12) }, { "SSND", sixFrames } }, "its encoding (12-bit integer PCM) is not supported" },
        { "16-bit float", "AIFC", { { "COMM", commonChunk (1, 6, 16, "fl32\0\0") }, { "SSND", sixFrames } }, "its encoding (16-bit float) is not supported" },
        { "ima4", "AIFC", { { "COMM", commonChunk (1, 6, 16, "ima4\0\0") }, { "SSND", sixFrames } }, "its encoding (AIFF-C 'ima4') is not supported" },
        { "negative offset", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", soundChunk (-8, juce::MemoryBlock (12, true)) } },
          "the AIFF header is damaged: its sound data offset (-8 bytes) lies outside its chunk (SSND)" },
        { "long count", "AIFF", { { "COMM", commonChunk (1, 8, 16) }, { "SSND", sixFrames }, { "NAME", bytes ("noise!", 6) } },
          "the AIFF header is damaged: its sound data chunk (SSND) holds fewer frames than its common chunk (COMM) announces" },
        { "cate", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "cate", bytes ("\0\0\0\0A", 5) }, { "SSND", sixFrames } },
          "the AIFF header is damaged: its category chunk (cate) cannot be read" },
        { "short cate", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames }, { "cate", bytes ("\0\0", 2) } },
          "the AIFF header is damaged: its category chunk (cate) is too short" },
        { "long tag", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames }, { "cate", categories ("Abc" + std::string (60, 'x')) } },
          "the AIFF header is damaged: its category chunk (cate) cannot be read" },
        { "tags", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames }, { "cate", categories (std::string ("Abc").append (47, '\0') + "Jazz" + std::string (46, '\0') + "Def") } }, {} },
        { "sowt", "AIFC", { { "COMM", commonChunk (1, 6, 16, "sowt\0\0") }, { "MARK", bytes ("\0\x01\0\x01\0\0\0\0\x01x", 10) },
                            { "COMT", bytes ("\0\x01\0\0\0\0\0\0\0\x01x\0", 12) }, { "SSND", sixFrames } }, {} },
        { "data first", "AIFF", { { "SSND", sixFrames }, { "COMM", commonChunk (1, 6, 16) } }, {} },
        { "data first, long count", "AIFF", { { "SSND", sixFrames }, { "COMM", commonChunk (1, 8, 16) }, { "NAME", bytes ("noise!", 6) } },
          "the AIFF header is damaged: its sound data chunk (SSND) holds fewer frames than its common chunk (COMM) announces" }
    };

    // Counts that the chunks cannot hold, which JUCE's reader follows past them, once or many times.
    auto manyMarks = marks (65535, 8);
    manyMarks.insert (manyMarks.begin(), { { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames } });
    cases.push_back ({ "marks", "AIFF", manyMarks, "the AIFF header is damaged: its marker chunk (MARK) announces more markers than it holds" });
    cases.push_back ({ "comments", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "COMT", bytes ("\xff\xff\0\0\0\0\0\0\0\0", 10) }, { "SSND", sixFrames } },
                       "the AIFF header is damaged: its comment chunk (COMT) announces more comments than it holds" });

    // Every chunk is read within its own size: an empty one holds nothing wherever it stands,
    // and one too short for its fields is named.
    for (const auto* empty : { "MARK", "FVER", "COMT" })
    {
        cases.push_back ({ juce::String (empty) + " first", "AIFF", { { empty, {} }, { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames } }, {} });
        cases.push_back ({ juce::String (empty) + " after COMM", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { empty, {} }, { "SSND", sixFrames } }, {} });
        cases.push_back ({ juce::String (empty) + " first in AIFF-C", "AIFC", { { empty, {} }, { "COMM", commonChunk (1, 6, 16, "NONE\0\0") }, { "SSND", sixFrames } }, {} });
        cases.push_back ({ juce::String (empty) + " last", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", sixFrames }, { empty, {} } }, {} });
    }

    cases.push_back ({ "short COMM", "AIFF", { { "COMM", juce::MemoryBlock (commonChunk (1, 6, 16).getData(), 10) }, { "SSND", sixFrames } },
                       "the AIFF header is damaged: its common chunk (COMM) is too short" });
    cases.push_back ({ "short SSND", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", bytes ("\0\0\0\0", 4) } },
                       "the AIFF header is damaged: its sound data chunk (SSND) is too short" });

    for (const auto& [name, type, chunks, message] : cases)
    {
        SCOPED_TRACE (name);
        ASSERT_TRUE (writeForm (folder.getChildFile ("in.aif"), type, chunks));
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in.aif"), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });

        if (message.isEmpty())
        {
            EXPECT_EQ (run.exitCode, 0) << run.output;
            EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), 6);
        }
        else
        {
            EXPECT_EQ (run.exitCode, 1);
            EXPECT_EQ (run.output, "corvane-host: cannot read " + path ("in.aif") + ": " + message + "\n");
        }
    }
}

TEST_F (CommandLineHost, RefusesChunksThatRunPastTheEndOfTheFileBeforeTheAudioAndPassesOverThoseAfterIt)
{
    // Chunks JUCE's readers take room for, each announcing close to 4 GB. Where the build allows
    // it the host runs with a quarter of that as its address space, as a machine with less
    // memory would. After the audio, the chunk is what a copy cut short leaves.
    const auto huge = [] (const char* name) { return Chunk { name, juce::MemoryBlock (16, true), 0xfffffff0u }; };
    const auto format = Chunk { "fmt ", formatChunk (1, 1, 8000, 16) };
    const auto data = Chunk { "data", juce::MemoryBlock (16, true) };

    for (const auto& [name, chunk, before] : { std::tuple ("bext", "bext", true), std::tuple ("smpl", "smpl", false),
                                               std::tuple ("cue", "cue ", true), std::tuple ("inst", "inst", false),
                                               std::tuple ("INST", "INST", false) })
    {
        SCOPED_TRACE (name);
        const auto isAiff = juce::String (chunk) == "INST";
        const auto written = isAiff ? writeForm (folder.getChildFile ("in"), "AIFF", { { "COMM", commonChunk (1, 8, 16) },
                                                                                       { "SSND", soundChunk (0, juce::MemoryBlock (16, true)) }, huge (chunk) })
                                    : writeChunks (folder.getChildFile ("in"), "RIFF", before ? std::vector<Chunk> { format, huge (chunk), data }
                                                                                              : std::vector<Chunk> { format, data, huge (chunk) });
        ASSERT_TRUE (written);

        juce::ChildProcess host;
        // A sanitizer reserves its shadow memory up front, far beyond any useful limit.
       #if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
        const char* limit = "";
       #else
        const char* limit = "ulimit -v 1048576; ";
       #endif
        ASSERT_TRUE (host.start (bounded ({ "/bin/sh", "-c", juce::String (limit) + "exec \"$0\" \"$@\"", std::getenv ("CORVANE_HOST"), "render",
                                            "--module", modulePath(), "--in", path ("in"), "--out", path ("out.wav") })));
        const auto output = host.readAllProcessOutput();
        host.waitForProcessToFinish (60000);
        EXPECT_EQ (host.getExitCode(), before ? 1u : 0u);
        EXPECT_TRUE (output.startsWith (before ? "corvane-host: cannot read " + path ("in") + ": the WAV header is damaged: its '"
                                                   + chunk + "' chunk runs past the end of the file\n"
                                               : "corvane-host: warning: reading " + path ("in") + ": its '" + chunk
                                                   + "' chunk after the audio is cut by the end of the file\n")) << output;
    }
}

TEST_F (CommandLineHost, RefusesCueTextsThatJuceWouldReadPastTheirChunks)
{
    // JUCE's reader reads a cue text whose size leaves no room for its fixed fields on to the end
    // of the file, once for each, and never leaves a cue list that ends after the file. An empty
    // message stands for a file that is read whole.
    for (const auto& [name, list, message] : {
             std::tuple ("texts", std::string ("adtllabl\6\0\0\0xxxxxxnote\4\0\0\0xxxx", 30), ""),
             std::tuple ("short label", std::string ("adtllabl\2\0\0\0xx", 14), "its 'labl' chunk is too short"),
             std::tuple ("short region", std::string ("adtlltxt\x12\0\0\0", 12) + std::string (18, 'x'), "its 'ltxt' chunk is too short"),
             std::tuple ("wrapped notes", std::string ("adtlnote\xff\xff\xff\xffnote\xff\xff\xff\xff"), "its 'note' chunk runs past the end of the file"),
             std::tuple ("unpadded end", std::string ("adtlxxxx\2\0\0\0xxx", 15), "its 'LIST' chunk runs past the end of the file") })
    {
        SCOPED_TRACE (name);
        ASSERT_TRUE (writeChunks (folder.getChildFile ("in.wav"), "RIFF", { { "fmt ", formatChunk (1, 1, 8000, 16) }, { "data", juce::MemoryBlock (12, true) },
                                                                            { "LIST", juce::MemoryBlock (list.data(), list.size()) } }));
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"), "--tail", "0" });
        EXPECT_EQ (run.exitCode, *message == 0 ? 0 : 1) << run.output;

        if (*message != 0)
        {
            EXPECT_EQ (run.output, "corvane-host: cannot read " + path ("in.wav") + ": the WAV header is damaged: " + message + "\n");
        }
    }
}

TEST_F (CommandLineHost, ReadsWavAndAiffFilesAsOtherToolsWriteThem)
{
    // Six frames each. A writer that cannot seek back leaves a mark for its sizes: sox its
    // largest size rounded down to whole frames, others all bits set; the audio then runs to the
    // end of the file. Any other size past the end is a file cut short. An empty message stands
    // for a file that is read whole; a file size of its own is reached with a hole of zeros after
    // the chunks, within a container that covers it.
    const auto bytes = [] (const char* text, size_t size) { return juce::MemoryBlock (text, size); };
    const auto twelve = juce::MemoryBlock (12, true);
    const auto format = Chunk { "fmt ", formatChunk (1, 1, 8000, 16) };
    const auto sound = Chunk { "SSND", soundChunk (0, twelve) };

    struct Case { const char* name; const char* container; std::vector<Chunk> chunks; uint32_t containerSize; juce::int64 fileSize; juce::String message; };
    const std::vector<Case> cases {
        { "sox wav", "RIFF", { format, { "data", twelve, 0x7ffff000u } }, 0x7ffff024u, 0, {} },
        { "sox wav, 24-bit", "RIFF", { { "fmt ", formatChunk (1, 1, 8000, 24) }, { "data", juce::MemoryBlock (18, true), 0x7fffefffu } }, 0x7ffff048u, 0, {} },
        { "unsized wav", "RIFF", { format, { "data", twelve, 0xffffffffu } }, 0, 0, {} },
        { "one frame short of sox's mark", "RIFF", { format, { "data", twelve, 0x7fffeffeu } }, 0, 0, "the file is cut short" },
        { "empty chunk", "RIFF", { format, { "abcd", {} }, { "data", twelve } }, 0, 0, {} },
        { "two data chunks", "RIFF", { format, { "data", twelve }, { "data", juce::MemoryBlock (4, true) } }, 0, 0, {} },
        { "sox aiff", "AIFF", { { "COMM", commonChunk (1, 0x3f800000, 16) }, { "SSND", soundChunk (0, twelve), 0x7f000008u } }, 0x7f000050u, 0, {} },
        { "sox aifc, 24-bit stereo", "AIFC", { { "COMM", commonChunk (2, 0x152aaaaa, 24, "NONE\0\0") }, { "SSND", soundChunk (0, juce::MemoryBlock (36, true)), 0x7f000004u } },
          0x7f00004cu, 0, {} },
        { "odd comment", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "COMT", bytes ("\0\x01\0\0\0\0\0\0\0\x01x\0", 12), 11u }, sound }, 0, 0, {} },
        { "two sound chunks", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, sound, { "SSND", soundChunk (0, juce::MemoryBlock (4, true)) } }, 0, 0, {} },
        { "aiff over 2 GB", "AIFF", { { "COMM", commonChunk (1, 6, 16) }, sound, { "FLLR", {}, 2300000000u - 12 - 54 - 8 } }, 0, 2300000000, {} }
    };

    for (const auto& [name, container, chunks, containerSize, fileSize, message] : cases)
    {
        SCOPED_TRACE (name);
        const auto isWav = juce::String (container) == "RIFF";
        ASSERT_TRUE (isWav ? writeChunks (folder.getChildFile ("in"), container, chunks) : writeForm (folder.getChildFile ("in"), container, chunks));

        if (fileSize > 0)
        {
            ASSERT_EQ (truncate (path ("in").toRawUTF8(), fileSize), 0);
        }

        if (containerSize > 0 || fileSize > 0)
        {
            const auto size = containerSize > 0 ? containerSize : static_cast<uint32_t> (fileSize - 8);
            const auto field = isWav ? juce::ByteOrder::swapIfBigEndian (size) : juce::ByteOrder::swapIfLittleEndian (size);
            const auto file = open (path ("in").toRawUTF8(), O_WRONLY);
            ASSERT_EQ (pwrite (file, &field, 4, 4), 4);
            close (file);
        }

        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in"), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });
        EXPECT_EQ (run.exitCode, message.isEmpty() ? 0 : 1) << run.output;

        if (message.isNotEmpty())
        {
            EXPECT_EQ (run.output, "corvane-host: cannot read " + path ("in") + ": " + message + "\n");
        }
        else if (run.exitCode == 0)
        {
            EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), 6);
        }
    }
}

TEST_F (CommandLineHost, DecidesByTheSamplesNotByWhatWrapsThem)
{
    // Each file holds 6 frames of 16-bit mono audio at 8 kHz, 3 FLAC frames of 4096 (the first
    // of them at 44.1 kHz where a rate changes), or Ogg Vorbis links of 2 s; it is refused, read
    // whole, or read whole with a word on what was passed over or what does not fit.
    enum class Outcome { refused, readWhole, readWithWord };
    const auto twelve = juce::MemoryBlock (12, true);
    const auto format = Chunk { "fmt ", formatChunk (1, 1, 8000, 16) };
    const auto fileOf = [this] (const std::function<bool (const juce::File&)>& write)
    {
        const auto file = folder.getChildFile ("made");
        juce::MemoryBlock bytes;
        return write (file) && file.loadFileAsData (bytes) ? bytes : juce::MemoryBlock();
    };
    const auto wav = [&] (std::vector<Chunk> chunks) { return fileOf ([&] (const juce::File& f) { return writeChunks (f, "RIFF", chunks); }); };
    const auto aiff = [&] (int numFrames, std::optional<uint32_t> soundSize, bool unsizedForm)
    {
        auto bytes = fileOf ([&] (const juce::File& f) { return writeForm (f, "AIFF", { { "COMM", commonChunk (1, numFrames, 16) },
                                                                                       { "SSND", soundChunk (0, twelve), soundSize } }); });
        if (unsizedForm)
            std::memset (static_cast<char*> (bytes.getData()) + 4, 0, 4);

        return bytes;
    };
    const auto aiffCutAfter = [&] (const char* name)
    {
        return fileOf ([&] (const juce::File& f) { return writeForm (f, "AIFF", { { "COMM", commonChunk (1, 6, 16) }, { "SSND", soundChunk (0, twelve) },
                                                                                 { name, juce::MemoryBlock ("\0\x01\0\x01", 4), 100u } }); });
    };

    // FLAC frames of silence (which hold no sync code) at these rates; where the total is 0
    // the file is streamed, with neither length nor MD5 signature.
    const auto flacFrames = [&] (double rate, int numFrames)
    {
        juce::AudioBuffer<float> silence (1, numFrames * 4096);
        silence.clear();
        auto bytes = fileOf ([&] (const juce::File& f) { return writeAudio (juce::FlacAudioFormat(), f, silence, rate, 16); });
        const auto* data = static_cast<const uint8_t*> (bytes.getData());
        size_t at = 4;

        for (auto last = false; ! last && at + 4 <= bytes.getSize(); at += 4 + (size_t (data[at + 1]) << 16 | size_t (data[at + 2]) << 8 | data[at + 3]))
            last = (data[at] & 0x80) != 0;

        std::vector<juce::MemoryBlock> parts { juce::MemoryBlock (data, at) };

        for (auto next = at + 1; next <= bytes.getSize(); ++next)
        {
            if (next == bytes.getSize() || (next + 1 < bytes.getSize() && data[next] == 0xff && data[next + 1] == 0xf8))
            {
                parts.emplace_back (data + at, next - at);
                at = next;
            }
        }

        return parts;
    };
    const auto flac = [] (const std::vector<juce::MemoryBlock>& parts, bool streamed)
    {
        juce::MemoryBlock bytes;

        for (const auto& part : parts)
            bytes.append (part.getData(), part.getSize());

        if (streamed)
        {
            static_cast<uint8_t*> (bytes.getData())[21] &= 0xf0;
            std::memset (static_cast<uint8_t*> (bytes.getData()) + 22, 0, 20);
        }

        return bytes;
    };
    const auto slow = flacFrames (44100.0, 3), fast = flacFrames (48000.0, 3);

    // The same frames as a capture holds them, numbered from frame 1000 on: by frame where the
    // block size is fixed (in 2 bytes), by sample where it varies (in 5); checksums made anew.
    const auto capturedFrom = [] (std::vector<juce::MemoryBlock> parts, bool variable)
    {
        const auto crc = [] (const std::vector<uint8_t>& bytes, int bits, uint32_t polynomial)
        {
            uint32_t value = 0;

            for (const auto byte : bytes)
                for (int bit = 7; bit >= 0; --bit)
                    value = ((value << 1) ^ ((((value >> (bits - 1)) ^ (byte >> bit)) & 1) * polynomial)) & ((1u << bits) - 1);

            return value;
        };

        for (size_t index = 1; index < parts.size(); ++index)
        {
            const auto* old = static_cast<const uint8_t*> (parts[index].getData());
            const auto number = (999 + index) * (variable ? 4096 : 1);
            const auto length = variable ? 5 : 2;
            std::vector<uint8_t> frame { old[0], static_cast<uint8_t> (old[1] | (variable ? 1 : 0)), old[2], old[3] };

            for (int at = 0; at < length; ++at)
                frame.push_back (static_cast<uint8_t> ((at == 0 ? (0xff00u >> length) & 0xff : 0x80u) | ((number >> 6 * (length - 1 - at)) & 0x3f)));

            frame.push_back (static_cast<uint8_t> (crc (frame, 8, 0x07)));
            frame.insert (frame.end(), old + 6, old + parts[index].getSize() - 2);   // after the old one-byte number and its checksum
            const auto check = crc (frame, 16, 0x8005);
            frame.insert (frame.end(), { static_cast<uint8_t> (check >> 8), static_cast<uint8_t> (check) });
            parts[index] = juce::MemoryBlock (frame.data(), frame.size());
        }

        return parts;
    };

    // The pages of an Ogg Vorbis stream of 2 s of noise at 44.1 kHz, each written by JUCE with a serial
    // number of its own; and a file of pages, with these bytes after the page at each index.
    const auto oggPages = [&]
    {
        juce::AudioBuffer<float> noise (1, 88200);
        juce::Random random (2);

        for (int i = 0; i < noise.getNumSamples(); ++i)
            noise.setSample (0, i, 0.5f * random.nextFloat() - 0.25f);

        auto bytes = fileOf ([&] (const juce::File& f) { return writeAudio (juce::OggVorbisAudioFormat(), f, noise, 44100.0, 16); });
        std::vector<juce::MemoryBlock> pages;

        for (size_t at = 0; at + 27 < bytes.getSize();)
        {
            const auto page = pageAt (static_cast<unsigned char*> (bytes.getData()) + at);
            pages.emplace_back (page.header, static_cast<size_t> (page.header_len + page.body_len));
            at += static_cast<size_t> (page.header_len + page.body_len);
        }

        return pages;
    };
    const auto ogg = [] (std::vector<juce::MemoryBlock> pages, std::map<size_t, juce::MemoryBlock> after = {})
    {
        juce::MemoryBlock bytes;

        for (size_t index = 0; index < pages.size(); ++index)
        {
            bytes.append (pages[index].getData(), pages[index].getSize());

            if (after.count (index) != 0)
                bytes.append (after[index].getData(), after[index].getSize());
        }

        return bytes;
    };
    const auto first = oggPages(), second = oggPages();
    auto chain = first;
    chain.insert (chain.end(), second.begin(), second.end());
    ASSERT_GE (first.size(), size_t (5));
    const auto middle = first.size() - 2;
    auto jumped = first, lost = first, damagedPage = first;
    lost.erase (lost.begin() + static_cast<long> (middle));

    for (auto& page : jumped)
    {
        auto made = pageAt (static_cast<unsigned char*> (page.getData()));

        if (ogg_page_granulepos (&made) > 0)
        {
            const auto number = static_cast<uint32_t> (ogg_page_pageno (&made) + 10);
            std::memcpy (made.header + 18, &number, 4);
            ogg_page_checksum_set (&made);
        }
    }

    // The stream as an editor that cut its start writes it: every granule position that many
    // samples lower, so that its first audio page counts fewer samples than its packets make.
    const auto trimmed = [&first] (int64_t samples)
    {
        auto pages = first;

        for (auto& page : pages)
        {
            auto made = pageAt (static_cast<unsigned char*> (page.getData()));
            const auto granule = juce::ByteOrder::swapIfBigEndian (static_cast<uint64_t> (ogg_page_granulepos (&made) - samples));

            if (ogg_page_granulepos (&made) > 0 && std::memcpy (made.header + 6, &granule, 8) != nullptr)
                ogg_page_checksum_set (&made);
        }

        return pages;
    };

    static_cast<uint8_t*> (damagedPage[middle].getData())[200] ^= 0x55;
    juce::MemoryBlock random (100);
    juce::Random (1).fillBitsRandomly (random.getData(), random.getSize());

    auto badSignature = flac (slow, false);
    static_cast<uint8_t*> (badSignature.getData())[30] ^= 1;

    struct Case { const char* name; juce::MemoryBlock bytes; Outcome outcome; juce::String message; };
    const std::vector<Case> cases {
        { "wav, LIST cut after the audio", wav ({ format, { "data", twelve }, { "LIST", juce::MemoryBlock (4, true), 100u } }),
          Outcome::readWithWord, "its 'LIST' chunk after the audio is cut by the end of the file" },
        { "wav, iXML cut after the audio", wav ({ format, { "data", twelve }, { "iXML", {}, 100u } }),
          Outcome::readWithWord, "its 'iXML' chunk after the audio is cut by the end of the file" },
        { "aiff, MARK cut after the audio", aiffCutAfter ("MARK"), Outcome::readWithWord, "its 'MARK' chunk after the audio is cut by the end of the file" },
        { "aiff, COMT cut after the audio", aiffCutAfter ("COMT"), Outcome::readWithWord, "its 'COMT' chunk after the audio is cut by the end of the file" },
        { "aiff, sizes of a writer that cannot seek back", aiff (0, 0u, true), Outcome::readWhole, {} },
        { "aiff, form size 0", aiff (6, {}, true), Outcome::readWhole, {} },
        { "aiff, frame count 0", aiff (0, {}, false), Outcome::readWhole, {} },
        { "aiff, sound data size 0", aiff (6, 0u, false), Outcome::readWhole, {} },
        { "aiff, count short", aiff (2, {}, false), Outcome::readWithWord,
          "its common chunk (COMM) announces 2 frames, fewer than the 6 its sound data chunk (SSND) holds: all of them are read" },
        { "aiff, count one frame over", aiff (7, {}, false), Outcome::refused,
          "the AIFF header is damaged: its sound data chunk (SSND) holds fewer frames than its common chunk (COMM) announces" },
        { "flac, rate changes", flac ({ slow[0], slow[1], fast[2], fast[3] }, true), Outcome::refused,
          "the file is damaged: its sample rate changes to 48000 Hz after 0.09 s" },
        { "flac, frame repeated", flac ({ slow[0], slow[1], slow[2], slow[2], slow[3] }, false), Outcome::refused,
          "the file is damaged: a frame repeats audio after 0.19 s" },
        { "flac, frame missing", flac ({ slow[0], slow[1], slow[3] }, true), Outcome::refused,
          "the file is damaged: a frame is missing after 0.09 s" },
        { "flac, signature", badSignature, Outcome::refused, "the file is damaged: its audio does not match its MD5 signature" },
        { "flac, streamed", flac (slow, true), Outcome::readWhole, {} },
        { "flac, streamed capture from frame 1000", flac (capturedFrom (slow, false), true), Outcome::readWhole, {} },
        { "flac, streamed capture from sample 4096000, variable block size", flac (capturedFrom (slow, true), true), Outcome::readWhole, {} },
        { "ogg, start trimmed by 64", ogg (trimmed (64)), Outcome::readWhole, {} },
        { "ogg, start trimmed by 1000", ogg (trimmed (1000)), Outcome::readWhole, {} },
        { "ogg, more than a page of zeros between links", ogg (chain, { { first.size() - 1, juce::MemoryBlock (70000, true) } }), Outcome::readWithWord,
          "70000 stray bytes between its pages at byte " + juce::String (ogg (first).getSize()) + " passed over" },
        { "ogg, a zero byte between links", ogg (chain, { { first.size() - 1, juce::MemoryBlock (1, true) } }), Outcome::readWithWord,
          "1 stray byte between its pages at byte " + juce::String (ogg (first).getSize()) + " passed over" },
        { "ogg, random bytes between links", ogg (chain, { { first.size() - 1, random } }), Outcome::readWithWord,
          "100 stray bytes between its pages at byte " + juce::String (ogg (first).getSize()) + " passed over" },
        { "ogg, bytes between the pages of a link", ogg (first, { { 2, juce::MemoryBlock (2048, true) } }), Outcome::readWithWord,
          "2048 stray bytes between its pages at byte " + juce::String (ogg ({ first.begin(), first.begin() + 3 }).getSize()) + " passed over" },
        { "ogg, page numbers jump", ogg (jumped), Outcome::readWithWord, "its page numbers jump where no audio is missing" },
        { "ogg, page missing", ogg (lost), Outcome::refused, "the file is damaged: its audio has a hole after " },
        { "ogg, page damaged", ogg (damagedPage), Outcome::refused, "the file is damaged: its audio has a hole after " },
    };

    for (const auto& [name, bytes, outcome, message] : cases)
    {
        SCOPED_TRACE (name);
        ASSERT_TRUE (bytes.getSize() > 0 && folder.getChildFile ("in").replaceWithData (bytes.getData(), bytes.getSize()));
        folder.getChildFile ("out.wav").deleteFile();
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in"), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });

        if (outcome == Outcome::refused)
        {
            EXPECT_EQ (run.exitCode, 1);
            EXPECT_TRUE (run.output.startsWith ("corvane-host: cannot read " + path ("in") + ": " + message)) << run.output;
            EXPECT_EQ (run.output.indexOfChar ('\n'), run.output.length() - 1) << run.output;
            EXPECT_FALSE (folder.getChildFile ("out.wav").exists());
            continue;
        }

        EXPECT_EQ (run.exitCode, 0) << run.output;

        if (run.exitCode != 0)
            continue;

        const auto kind = juce::String (name).upToFirstOccurrenceOf (",", false, false);
        const auto trim = juce::String (name).fromFirstOccurrenceOf ("trimmed by ", false, false).getIntValue();
        EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(),
                   kind == "flac" ? 3 * 4096 : kind == "ogg" ? (juce::String (name).contains ("links") ? 2 * 88200 : 88200 - trim) : 6);
        EXPECT_EQ (run.output.contains ("corvane-host: warning: reading " + path ("in") + ": " + message + "\n"), outcome == Outcome::readWithWord)
            << run.output;
    }
}

TEST_F (CommandLineHost, ReadsCuePointsAndLoopsInTimeAndMemoryBoundedByTheFile)
{
    // 1,100,000 cue points or sample loops of 24 bytes each, in a file of 26 MB: the host reads
    // none of them. Where the build allows it the host runs with 1 GB of address space.
    constexpr int count = 1100000;

    for (const auto& [name, countAt, fixedSize] : { std::tuple ("cue ", 0, 4), std::tuple ("smpl", 28, 36) })
    {
        SCOPED_TRACE (name);
        juce::MemoryBlock entries (static_cast<size_t> (fixedSize + 24 * count), true);
        const auto counted = juce::ByteOrder::swapIfBigEndian (static_cast<uint32_t> (count));
        entries.copyFrom (&counted, countAt, 4);
        ASSERT_TRUE (writeChunks (folder.getChildFile ("in.wav"), "RIFF", { { "fmt ", formatChunk (1, 1, 8000, 16) }, { name, entries },
                                                                            { "data", juce::MemoryBlock (12, true) } }));

       #if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
        const char* limit = "";
       #else
        const char* limit = "ulimit -v 1048576; ";
       #endif
        juce::ChildProcess host;
        ASSERT_TRUE (host.start (bounded ({ "/bin/sh", "-c", juce::String (limit) + "exec \"$0\" \"$@\"", std::getenv ("CORVANE_HOST"), "render",
                                   "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("out.wav"),
                                   "--config", "1x1", "--bypass", "--tail", "0" })));
        const auto finished = host.waitForProcessToFinish (20000);

        if (! finished)
            host.kill();

        ASSERT_TRUE (finished);
        ASSERT_EQ (host.getExitCode(), 0u) << host.readAllProcessOutput();
        EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), 6);
    }
}

TEST_F (CommandLineHost, ChoosesTheReaderByTheFilesFirstBytes)
{
    juce::MemoryBlock flac;
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("f"), sine (1, 2205, 44100.0), 44100.0, 16));
    ASSERT_TRUE (folder.getChildFile ("f").loadFileAsData (flac));
    juce::MemoryBlock padded (flac);
    padded.setSize ((flac.getSize() + 7) / 8 * 8, true);

    // Every byte is a sample in A-law or u-law; in 64-bit float some are not finite.
    ASSERT_TRUE (writeWavBytes (folder.getChildFile ("alaw"), 6, 8, flac.getData(), flac.getSize()));
    ASSERT_TRUE (writeWavBytes (folder.getChildFile ("ulaw"), 7, 8, flac.getData(), flac.getSize()));
    ASSERT_TRUE (writeWavBytes (folder.getChildFile ("double"), 3, 64, padded.getData(), padded.getSize()));

    // A FLAC stream behind an ID3v2 tag of 20 bytes.
    juce::MemoryOutputStream tagged;
    tagged.write ("ID3\x04\0\0\0\0\0\x14", 10);
    tagged.writeRepeatedByte (0, 20);
    tagged << flac;
    ASSERT_TRUE (folder.getChildFile ("id3").replaceWithData (tagged.getData(), tagged.getDataSize()));

    // A whole Ogg Vorbis stream followed by 130 kB of other bytes.
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("vorbis"), sine (1, 4410, 44100.0), 44100.0, 16));
    juce::MemoryBlock other (133120);
    juce::Random (1).fillBitsRandomly (other.getData(), other.getSize());
    ASSERT_TRUE (folder.getChildFile ("vorbis").appendData (other.getData(), other.getSize()));

    // A FLAC stream in Ogg, its first packet as Ogg FLAC maps it.
    juce::MemoryOutputStream mapped;
    mapped.write ("\x7f" "FLAC\x01\0\0\x01", 9);
    mapped << flac;
    ogg_stream_state oggStream;
    ogg_stream_init (&oggStream, 1);
    ogg_packet packet { static_cast<unsigned char*> (const_cast<void*> (mapped.getData())), static_cast<long> (mapped.getDataSize()), 1, 1, 0, 0 };
    ogg_stream_packetin (&oggStream, &packet);
    ogg_page page;
    juce::MemoryOutputStream ogg;

    while (ogg_stream_flush (&oggStream, &page) != 0)
    {
        ogg.write (page.header, static_cast<size_t> (page.header_len));
        ogg.write (page.body, static_cast<size_t> (page.body_len));
    }

    ogg_stream_clear (&oggStream);
    ASSERT_TRUE (folder.getChildFile ("ogg flac").replaceWithData (ogg.getData(), ogg.getDataSize()));

    struct Case { const char* name; int numFrames; juce::String message; };

    for (const auto& [name, numFrames, message] : { Case { "alaw", static_cast<int> (flac.getSize()), {} },
                                                    Case { "ulaw", static_cast<int> (flac.getSize()), {} },
                                                    Case { "double", static_cast<int> (padded.getSize() / 8), {} },
                                                    Case { "id3", 2205, {} },
                                                    Case { "vorbis", 4410, {} },
                                                    Case { "ogg flac", 0, "its encoding (Ogg FLAC) is not supported" } })
    {
        SCOPED_TRACE (name);
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path (name), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });

        if (message.isNotEmpty())
        {
            EXPECT_EQ (run.exitCode, 1);
            EXPECT_EQ (run.output, "corvane-host: cannot read " + path (name) + ": " + message + "\n");
            continue;
        }

        EXPECT_EQ (run.exitCode, 0) << run.output;
        EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), numFrames);
    }
}

TEST_F (CommandLineHost, RefusesFlacWhoseFramesCannotBeDecoded)
{
    // JUCE's writer makes frames of 4096 samples: a small file of 3 and a large one of 49, cut,
    // or with a byte changed in the middle of a frame near the end or in the last frame's checksum.
    struct Case { const char* name; int numFrames; double damageAt; const char* message; };

    for (const auto& [name, numFrames, damageAt, message] : { Case { "cut", 49, -0.4, "the file is cut short" },
                                                              Case { "small", 3, 0.5, "the file is damaged: its audio cannot be decoded after " },
                                                              Case { "large", 49, 47.5 / 49, "the file is damaged: its audio cannot be decoded after " },
                                                              Case { "last", 49, 1.0, "the file is damaged: its audio cannot be decoded after " } })
    {
        ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("in.flac"), sine (1, numFrames * 4096, 8000.0), 8000.0, 16));
        juce::MemoryBlock whole;
        ASSERT_TRUE (folder.getChildFile ("in.flac").loadFileAsData (whole));

        for (const auto isSized : { true, false })
        {
            // A cut shows as missing samples only where the header gives the length.
            if (damageAt < 0.0 && isSized)
                continue;

            SCOPED_TRACE (juce::String (name) + (isSized ? "" : " without a length"));
            auto bytes = whole;

            if (damageAt < 0.0)
                bytes.setSize (static_cast<size_t> (static_cast<double> (whole.getSize()) * -damageAt));

            auto* data = static_cast<uint8_t*> (bytes.getData());

            if (damageAt >= 0.0)
                data[juce::jmin (whole.getSize() - 1, static_cast<size_t> (static_cast<double> (whole.getSize()) * damageAt))] ^= 0x55;

            if (! isSized)
            {
                data[21] &= 0xf0;
                std::memset (data + 22, 0, 4);
            }

            ASSERT_TRUE (folder.getChildFile ("in.flac").replaceWithData (bytes.getData(), bytes.getSize()));
            const auto run = runHost ({ "render", "--module", modulePath(), "--in", path ("in.flac"), "--out", path ("out.wav"), "--tail", "0" });
            EXPECT_EQ (run.exitCode, 1);
            EXPECT_TRUE (run.output.startsWith ("corvane-host: cannot read " + path ("in.flac") + ": " + message)) << run.output;
        }
    }
}

TEST_F (CommandLineHost, ReadsCompressedStreamsFollowedByOtherBytesInTimeLinearInThem)
{
    ASSERT_TRUE (writeAudio (juce::FlacAudioFormat(), folder.getChildFile ("sized flac"), sine (1, 4410, 44100.0), 44100.0, 16));
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("ogg"), sine (1, 4410, 44100.0), 44100.0, 16));
    ASSERT_TRUE (folder.getChildFile ("ogg").copyFileTo (folder.getChildFile ("ogg, pages")));
    juce::MemoryBlock unsized;
    ASSERT_TRUE (folder.getChildFile ("sized flac").loadFileAsData (unsized));
    static_cast<uint8_t*> (unsized.getData())[21] &= 0xf0;
    std::memset (static_cast<uint8_t*> (unsized.getData()) + 22, 0, 4);
    ASSERT_TRUE (folder.getChildFile ("unsized flac").replaceWithData (unsized.getData(), unsized.getSize()));

    // 64 MB of page starts: checking each as a page, as a search for pages does, takes a minute.
    juce::MemoryOutputStream pageStarts;

    for (int i = 0; i < (1 << 18); ++i)
        pageStarts.write ("OggS", 4);

    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE (folder.getChildFile ("ogg, pages").appendData (pageStarts.getData(), pageStarts.getDataSize()));

    for (const auto* name : { "sized flac", "unsized flac", "ogg", "ogg, pages" })
    {
        SCOPED_TRACE (name);

        // 128 MB of zeros (sparse): going back over them once for each page's worth, as a search
        // for the last page may, takes a minute.
        ASSERT_EQ (truncate (path (name).toRawUTF8(), folder.getChildFile (name).getSize() + (128 << 20)), 0);
        const auto start = juce::Time::getMillisecondCounterHiRes();
        const auto run = runHost ({ "render", "--module", modulePath(), "--in", path (name), "--out", path ("out.wav"),
                                    "--config", "1x1", "--bypass", "--tail", "0" });
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 15000.0);
        EXPECT_EQ (run.exitCode, 0) << run.output;
        EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), 4410);
    }
}

TEST_F (CommandLineHost, ReadsOggChainsOfManyLinksInMemoryBoundedByTheFile)
{
    // 12,000 links of 10 ms each, as an encoder writes them, each with its own serial number: a
    // file of 49 MB whose links' decoders, held at once, would take a gigabyte. Where the build
    // allows it the host runs with 1 GB of address space.
    constexpr int numLinks = 12000;
    ASSERT_TRUE (writeAudio (juce::OggVorbisAudioFormat(), folder.getChildFile ("link.ogg"), sine (2, 441, 44100.0), 44100.0, 16));
    juce::MemoryBlock link;
    ASSERT_TRUE (folder.getChildFile ("link.ogg").loadFileAsData (link));

    {
        juce::FileOutputStream chain (folder.getChildFile ("chain.ogg"));
        auto* bytes = static_cast<unsigned char*> (link.getData());

        for (int serial = 1; serial <= numLinks; ++serial)
        {
            for (size_t at = 0; at < link.getSize();)
            {
                auto page = pageAt (bytes + at);
                const auto field = juce::ByteOrder::swapIfBigEndian (static_cast<uint32_t> (serial));
                std::memcpy (bytes + at + 14, &field, 4);
                ogg_page_checksum_set (&page);
                at += static_cast<size_t> (page.header_len + page.body_len);
            }

            ASSERT_TRUE (chain.write (link.getData(), link.getSize()));
        }
    }

    // A sanitizer reserves its shadow memory up front, far beyond any useful limit, and
    // AddressSanitizer holds on to what is freed unless told not to.
   #if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
    const juce::StringArray limit { "env", "ASAN_OPTIONS=" + juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {})
                                             + ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0" };
   #else
    const juce::StringArray limit { "prlimit", "--as=1073741824", "--" };
   #endif
    const auto peakOf = [&] (const char* input)
    {
        return peakMemoryOfRun ({ "render", "--module", modulePath(), "--in", path (input), "--out", path ("out.wav"),
                                  "--config", "1x1", "--bypass", "--tail", "0" }, limit);
    };

    const auto linkPeak = peakOf ("link.ogg"), chainPeak = peakOf ("chain.ogg");
    ASSERT_GT (linkPeak, 0);
    ASSERT_GT (chainPeak, 0);
    EXPECT_LT (chainPeak - linkPeak, 64 * 1024) << linkPeak << " KB, then " << chainPeak << " KB";
    EXPECT_EQ (readWav (folder.getChildFile ("out.wav")).audio.getNumSamples(), numLinks * 441);
}

// Only show reaches an X display, and only the one DISPLAY names: not the ":0" that JUCE falls
// back to when DISPLAY is empty or unset, which may be someone else's screen.
TEST_F (CommandLineHost, ReachesADisplayOnlyToShowAWindow)
{
    enum class Display { watched, empty, unset };
    const struct { juce::StringArray arguments; Display display; int exitCode; bool reaches; } cases[] =
    {
        { { "describe" }, Display::watched, 0, false },
        { { "render", "--out", path ("out.wav"), "--tail", "0" }, Display::empty, 0, false },
        { { "snapshot", "--out", path ("face.png") }, Display::watched, 0, false },
        { { "show" }, Display::unset, 1, false },
        { { "show" }, Display::watched, 1, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.arguments[0]);
        DisplayWatch watch (c.display == Display::watched ? -1 : 0);

        if (! watch.isWatching())
            continue;   // a server of the machine's own on :0, where nothing can be watched

        auto arguments = c.arguments;
        arguments.addArray ({ "--module", modulePath() });
        const auto environment = c.display == Display::unset ? juce::StringArray ("-u", "DISPLAY")
                                                             : juce::StringArray ("DISPLAY=" + juce::String (c.display == Display::watched ? watch.getName() : ""));
        const auto run = runHost (arguments, environment);
        EXPECT_EQ (run.exitCode, c.exitCode) << run.output;
        EXPECT_EQ (watch.getNumConnections() > 0, c.reaches);
    }
}

TEST_F (CommandLineHost, HelpDescribesTheCommands)
{
    const auto run = runHost ({ "--help" });
    EXPECT_EQ (run.exitCode, 0);

    for (const auto* option : { "describe", "render", "--in", "--out", "--config", "--rate", "--block", "--bpm", "--play",
                                "--set", "--preset", "--state-in", "--state-out", "--bypass", "--tail", "--preroll", "--mode",
                                "--all", "--module", "1 to 8192", "8000 to 192000", "--version" })
        EXPECT_TRUE (run.output.contains (option)) << option;

    // Each command's own help lists its own options only.
    for (const auto* help : { "--help", "-h" })
    {
        const auto render = runHost ({ "render", help });
        EXPECT_EQ (render.exitCode, 0);
        EXPECT_TRUE (render.output.startsWith ("  corvane-host render --out FILE")) << render.output;
        EXPECT_TRUE (render.output.contains ("  --tail") && ! render.output.contains ("  --all")) << render.output;
    }

    // A snapshot is a picture of the editor: no audio goes in or comes out.
    const auto snapshot = runHost ({ "snapshot", "--help" });
    EXPECT_TRUE (snapshot.output.contains ("--out") && snapshot.output.contains ("PNG")) << snapshot.output;

    for (const auto* word : { "WAV", "input", "demo" })
        EXPECT_FALSE (snapshot.output.containsIgnoreCase (word)) << word;

    // show plays its input, or nothing; the exit codes are told apart in the usage.
    EXPECT_FALSE (runHost ({ "show", "--help" }).output.containsIgnoreCase ("demo"));
    EXPECT_TRUE (run.output.contains ("Exit codes: 0 when done; 2 for a mistake in the command line")) << run.output;

    const auto version = runHost ({ "--version" });
    EXPECT_EQ (version.exitCode, 0);
    EXPECT_EQ (version.output, "corvane-host 1.1.0 (build corvane-1.1.0-20140902)\n");
}

namespace
{
    /** corvane-host started by a shell script, as "$0", with the module as "$1" and the given
        words after it: for what only a shell does (redirections, bytes that are not UTF-8).
    */
    Run runHostInShell (const juce::String& script, const juce::StringArray& words = {})
    {
        juce::StringArray command { "/bin/sh", "-c", script, std::getenv ("CORVANE_HOST"), modulePath() };
        command.addArray (words);
        juce::ChildProcess process;

        if (! process.start (bounded (command), juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return { -1, "could not start /bin/sh" };

        const auto output = process.readAllProcessOutput();
        process.waitForProcessToFinish (120000);
        return { static_cast<int> (process.getExitCode()), output };
    }
}

TEST_F (CommandLineHost, ChecksEveryFileToReadBeforeOpeningIt)
{
    ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("RIFF0000WAVE, an earlier output"));
    ASSERT_EQ (mkfifo (path ("fifo").toRawUTF8(), 0600), 0);
    ASSERT_EQ (mknod (path ("socket").toRawUTF8(), S_IFSOCK | 0600, 0), 0);
    ASSERT_EQ (symlink ("loop b", path ("loop a").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("loop a", path ("loop b").toRawUTF8()), 0);

    // A state one byte longer than the bound, whose header is right.
    ASSERT_TRUE (folder.getChildFile ("long.state").replaceWithData ("CVHSTATE\x01\0\0\0\0\0\0\0", 16));
    ASSERT_EQ (truncate (path ("long.state").toRawUTF8(), 16 * 1024 * 1024 + 1), 0);

    // Root reads any file: the host then runs without that right.
    ASSERT_TRUE (folder.getChildFile ("locked.wav").replaceWithText ("RIFF"));
    ASSERT_EQ (chmod (path ("locked.wav").toRawUTF8(), 0), 0);
    const auto withoutRoot = geteuid() == 0 ? juce::StringArray { "setpriv", "--bounding-set=-dac_override,-dac_read_search", "--" }
                                            : juce::StringArray();

    // Dropping the right needs CAP_SETPCAP, which a container may withhold from root.
    const auto canDropRoot = [&withoutRoot]
    {
        if (withoutRoot.isEmpty())
            return true;

        juce::ChildProcess process;
        auto command = withoutRoot;
        command.add ("true");
        return process.start (bounded (command)) && process.waitForProcessToFinish (10000) && process.getExitCode() == 0;
    }();

    const juce::StringArray render { "render", "--module", modulePath(), "--out", path ("out.wav") };
    const auto with = [&render] (juce::StringArray extra) { auto arguments = render; arguments.addArray (extra); return arguments; };

    struct Case { juce::StringArray arguments, environment; juce::String message; int exitCode; };
    std::vector<Case> cases {
        { with ({ "--state-in", path ("fifo") }), {}, "--state-in " + path ("fifo") + " is a pipe, not a file", 2 },
        { with ({ "--state-in", "/dev/null" }), {}, "--state-in /dev/null is a device, not a file", 2 },
        { with ({ "--state-in", path ("long.state") }), {}, "(16777217 bytes), more than the 16.0 MB (16777216 bytes) a state file may hold", 1 },
        { with ({ "--preset", path ("fifo") }), {}, "--preset " + path ("fifo") + " is a pipe, not a file", 2 },
        { with ({ "--preset", "/dev/zero" }), {}, "--preset /dev/zero is a device, not a file", 2 },
        { { "describe", "--module", path ("fifo") }, {}, "--module " + path ("fifo") + " is a pipe, not a file", 2 },
        { { "show", "--module", path ("fifo") }, {}, "--module " + path ("fifo") + " is a pipe, not a file", 2 },
        { { "describe" }, { "CORVANE_MODULE=" + path ("fifo") }, "CORVANE_MODULE " + path ("fifo") + " is a pipe, not a file", 2 },
        { with ({ "--in", path ("socket") }), {}, "--in " + path ("socket") + " is a socket, not a file", 2 },
        { with ({ "--in", path ("loop a") }), {}, "--in " + path ("loop a") + " is a loop of symbolic links", 2 },
        { with ({ "--in", path ("locked.wav") }), withoutRoot, "cannot read " + path ("locked.wav") + ": Permission denied", 1 },
    };

    // A name longer than any file's can lead to none, as one that is missing.
    const auto longName = path (juce::String::repeatedString ("n", 256).toRawUTF8());

    for (const auto* option : { "--in", "--preset", "--state-in", "--module" })
        cases.push_back ({ juce::String (option) == "--module" ? juce::StringArray { "describe", option, longName } : with ({ option, longName }),
                           {}, option + (" " + longName) + ": no such file", 2 });

    for (const auto& [arguments, environment, message, exitCode] : cases)
    {
        if (environment == withoutRoot && ! canDropRoot)
            continue;

        SCOPED_TRACE (environment.joinIntoString (" ") + " " + arguments.joinIntoString (" "));
        const auto run = runHost (arguments, environment);
        EXPECT_EQ (run.exitCode, exitCode);
        EXPECT_TRUE (run.output.startsWith ("corvane-host: " + juce::String (exitCode == 2 ? message : juce::String()))) << run.output;
        EXPECT_TRUE (run.output.contains (message)) << run.output;
        EXPECT_EQ (run.output.trimEnd().indexOfChar ('\n'), -1) << run.output;
        EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "RIFF0000WAVE, an earlier output");
    }
}

TEST_F (CommandLineHost, NeverWritesAnOutputOverAFileTheRunReadsOrWrites)
{
    // Files to read, each with other names for it, modules (one beside a copy of the host,
    // where the host finds it by default: no module is loaded once an output is refused), and
    // the plug-in's settings below a root.
    const auto* host = std::getenv ("CORVANE_HOST");
    ASSERT_TRUE (folder.getChildFile ("p.cvprst").replaceWithText (R"(<Preset application="Corvane"/>)"));
    ASSERT_TRUE (folder.getChildFile ("s.state").replaceWithText ("a state"));
    ASSERT_EQ (symlink ("p.cvprst", path ("to p").toRawUTF8()), 0);
    ASSERT_EQ (link (path ("p.cvprst").toRawUTF8(), path ("p hard").toRawUTF8()), 0);
    ASSERT_TRUE (folder.getChildFile ("bin").createDirectory() && folder.getChildFile ("A").createDirectory() && folder.getChildFile ("B").createDirectory());
    ASSERT_TRUE (folder.getChildFile ("m.so").replaceWithText ("a module"));
    ASSERT_EQ (symlink ("m.so", path ("to m").toRawUTF8()), 0);
    ASSERT_TRUE (juce::File (host).copyFileTo (folder.getChildFile ("bin/corvane-host")));
    ASSERT_TRUE (folder.getChildFile ("bin/corvane-host").setExecutePermission (true));
    ASSERT_TRUE (folder.getChildFile ("bin/Corvane.aaxplugin.so").replaceWithText ("the default module"));
    const auto settings = folder.getChildFile ("data/user/Halvorn/Corvane/Corvane.ini");
    ASSERT_TRUE (settings.getParentDirectory().createDirectory()
                 && settings.replaceWithText ("<UserSettings><MidiControlMap default=\"yes\" file=\"" + path ("midi.xml") + "\"/>"
                                              "<HostParametersMap default=\"yes\" file=\"" + path ("host.xml") + "\"/></UserSettings>"));
    ASSERT_TRUE (folder.getChildFile ("midi.xml").replaceWithText ("<MidiControlMap/>") && folder.getChildFile ("host.xml").replaceWithText ("<HostParametersMap/>"));
    ASSERT_EQ (symlink ("midi.xml", path ("to midi").toRawUTF8()), 0);
    ASSERT_TRUE (writeWav (folder.getChildFile ("kept.wav"), sine (1, 100, 8000.0), 8000.0) && folder.getChildFile ("kept.wav").setReadOnly (true));

    // B is A mounted a second time, in a mount namespace of the run's own, where that is allowed.
    const juce::String bound ("exec unshare --mount sh -c 'mount --bind \"$1/A\" \"$1/B\" && shift && exec \"$0\" \"$@\"' \"$0\" \"$2\" ");
    const auto canMount = runHostInShell ("exec unshare --mount mount --bind \"$2/A\" \"$2/B\"", { folder.getFullPathName() }).exitCode == 0;

    const juce::String snapshot ("exec \"$0\" snapshot --module \"$1\" "), render ("exec \"$0\" render --module \"$1\" --tail 0 ");
    const juce::String withRoot ("CORVANE_DATA_ROOT=\"$2/data\" ");
    const juce::String ini ("\"$2/data/user/Halvorn/Corvane/Corvane.ini\"");
    const juce::String given (" is the file given to ");

    struct Case { juce::String script; juce::String message; };
    const Case cases[] {
        { snapshot + "--preset \"$2/p.cvprst\" --out \"$2/p.cvprst\"", "--out " + path ("p.cvprst") + given + "--preset" },
        { snapshot + "--state-in \"$2/s.state\" --out \"$2/s.state\"", "--out " + path ("s.state") + given + "--state-in" },
        { snapshot + "--preset \"$2/p.cvprst\" --out \"$2/to p\"", "--out " + path ("to p") + given + "--preset" },
        { snapshot + "--preset \"$2/p.cvprst\" --out \"$2/p hard\"", "--out " + path ("p hard") + given + "--preset" },
        { "exec \"$0\" snapshot --module \"$2/m.so\" --out \"$2/m.so\"", "--out " + path ("m.so") + given + "--module" },
        { "CORVANE_MODULE=\"$2/m.so\" exec \"$0\" snapshot --out \"$2/to m\"", "--out " + path ("to m") + given + "CORVANE_MODULE" },
        { "unset CORVANE_MODULE; exec \"$2/bin/corvane-host\" snapshot --out \"$2/bin/Corvane.aaxplugin.so\"",
          "--out " + path ("bin/Corvane.aaxplugin.so") + " is the module corvane-host loads" },
        { withRoot + snapshot + "--out " + ini, "--out " + settings.getFullPathName() + " is the plug-in's settings file" },
        { withRoot + render + "--out " + ini, "--out " + settings.getFullPathName() + " is the plug-in's settings file" },
        { withRoot + render + "--out \"$2/o.wav\" --state-out " + ini, "--state-out " + settings.getFullPathName() + " is the plug-in's settings file" },
        { bound + "render --module \"$1\" --tail 0 --out \"$2/A/y.wav\" --state-out \"$2/B/y.wav\"",
          "--state-out " + path ("B/y.wav") + given + "--out" },
        // What the run reads without knowing it, judged by its kind.
        { withRoot + render + "--out \"$2/to midi\"", "--out " + path ("to midi") + " is an XML document, not a WAV file" },
        { withRoot + render + "--out \"$2/o.wav\" --state-out \"$2/host.xml\"", "--state-out " + path ("host.xml") + " is an XML document, not a state file" },
        { withRoot + snapshot + "--out \"$2/midi.xml\"", "--out " + path ("midi.xml") + " is an XML document, not a PNG image" },
        { snapshot + "--out \"$2/bin/corvane-host\"", "--out " + path ("bin/corvane-host") + " is a program or library, not a PNG image" },
        { render + "--out \"$2/o.wav\" --state-out \"$2/kept.wav\"", "--state-out " + path ("kept.wav") + " is write-protected" },
        { render + "--out \"$2/kept.wav\"", "--out " + path ("kept.wav") + " is write-protected" },
    };

    // What the runs may not touch: a write or a replacement changes one of these.
    const auto fingerprint = [] (const juce::File& file)
    {
        struct stat info {};
        stat (file.getFullPathName().toRawUTF8(), &info);
        return std::tuple (info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    };

    const juce::File kept[] { folder.getChildFile ("p.cvprst"), folder.getChildFile ("s.state"), folder.getChildFile ("m.so"),
                              folder.getChildFile ("bin/Corvane.aaxplugin.so"), settings, folder.getChildFile ("midi.xml"),
                              folder.getChildFile ("host.xml"), folder.getChildFile ("bin/corvane-host"), folder.getChildFile ("kept.wav") };
    std::vector<decltype (fingerprint (settings))> before;

    for (const auto& file : kept)
        before.push_back (fingerprint (file));

    for (const auto& [script, message] : cases)
    {
        if (script.startsWith (bound) && ! canMount)
        {
            std::cout << "[ NOTE     ] mount --bind is refused here: not run: " << script << std::endl;
            continue;
        }

        SCOPED_TRACE (script);
        const auto run = runHostInShell (script, { folder.getFullPathName() });
        EXPECT_EQ (run.exitCode, 2) << run.output;
        EXPECT_TRUE (run.output.startsWith ("corvane-host: " + message + ": it would be overwritten; see")) << run.output;

        for (size_t index = 0; index < std::size (kept); ++index)
            EXPECT_EQ (fingerprint (kept[index]), before[index]) << kept[index].getFullPathName();

        EXPECT_FALSE (folder.getChildFile ("A/y.wav").exists() || folder.getChildFile ("o.wav").exists());
    }
}

TEST_F (CommandLineHost, NeverWritesIntoItsOwnStandardOutput)
{
    // Standard output carries the report: by its name into a pipe, or as the file it was sent to.
    for (const auto& [script, named] : { std::pair ("exec \"$0\" render --module \"$1\" --tail 0 --out /dev/stdout", juce::String ("/dev/stdout")),
                                         std::pair ("exec \"$0\" render --module \"$1\" --tail 0 --out \"$2\" > \"$2\"", path ("out.wav")) })
    {
        SCOPED_TRACE (script);
        const auto run = runHostInShell (script, { path ("out.wav") });
        EXPECT_EQ (run.exitCode, 2);
        EXPECT_TRUE (run.output.startsWith ("corvane-host: --out " + named + " is standard output, where the report goes")) << run.output;
        EXPECT_FALSE (run.output.contains ("RIFF"));
        EXPECT_EQ (folder.getChildFile ("out.wav").getSize(), 0);
    }
}

TEST_F (CommandLineHost, TakesPathsLiterallyAndFollowsLinksAsTheSystemDoes)
{
    const auto home = folder.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory() && folder.getChildFile ("./~").createDirectory() && folder.getChildFile ("a/b").createDirectory());
    ASSERT_TRUE (writeWav (folder.getChildFile ("./~in.wav"), sine (1, 4800, 48000.0), 48000.0));
    ASSERT_EQ (symlink ("~real.wav", path ("to a tilde name").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("~/x.wav", path ("to a tilde folder").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("a/b", path ("b").toRawUTF8()), 0);
    ASSERT_EQ (symlink ("../up.wav", path ("a/b/up").toRawUTF8()), 0);

    // Each name as given, from the working folder; what it leads to is where the render lands.
    struct Case { juce::StringArray arguments; const char* written; const char* start; };
    const Case cases[] { { { "--out", "to a tilde name" }, "~real.wav", "RIFF" },
                         { { "--out", "to a tilde folder" }, "~/x.wav", "RIFF" },
                         { { "--out", "b/up" }, "a/up.wav", "RIFF" },
                         { { "--out", "~/b.wav" }, "~/b.wav", "RIFF" },
                         { { "--out", "~a.wav", "--in", "~in.wav" }, "~a.wav", "RIFF" },
                         { { "--out", "o.wav", "--state-out", "~s.state" }, "~s.state", "CVHSTATE" } };

    for (const auto& [extra, written, start] : cases)
    {
        SCOPED_TRACE (extra.joinIntoString (" "));
        juce::StringArray arguments { "render", "--module", modulePath(), "--tail", "0" };
        arguments.addArray (extra);
        const auto run = runHost (arguments, { "-C", folder.getFullPathName(), "HOME=" + home.getFullPathName(),
                                               "CORVANE_DATA_ROOT=" + path ("data") });
        EXPECT_EQ (run.exitCode, 0) << run.output;
        EXPECT_TRUE (folder.getChildFile ("./" + juce::String (written)).loadFileAsString().startsWith (start));
    }

    EXPECT_TRUE (home.findChildFiles (juce::File::findFiles, true, "*.wav;*.state").isEmpty());
}

TEST_F (CommandLineHost, TakesASetValueUpToItsFirstEqualsSignAndOnlyUtf8Text)
{
    // The messages name the option a value was given to, and show each byte that is no part
    // of a UTF-8 character as \xNN.
    struct Case { const char* script; juce::String message; };
    const Case cases[] { { "exec \"$0\" render --module \"$1\" --out \"$2/out.wav\" --set 'Delay Lines Routing=Mixed=1'",
                           "--set Delay Lines Routing: 'Mixed=1' is not one of: Parallel" },
                         { "exec \"$0\" render --module \"$1\" --out \"$2/out.wav\" --set \"$(printf 'Line 1 Feedback\\377=0.5')\"",
                           "--set 'Line 1 Feedback\\xff=0.5' is not UTF-8 text" },
                         { "exec \"$0\" render --module \"$1\" --out \"$2/$(printf '\\377.wav')\"",
                           "--out '" + folder.getFullPathName() + "/\\xff.wav' is not UTF-8 text" },
                         { "exec \"$0\" render --module \"$1\" --out \"$2/out.wav\" --rate \"$(printf '48\\377\\376')\"",
                           "--rate '48\\xff\\xfe' is not UTF-8 text" },
                         { "exec \"$0\" render --module \"$1\" --out \"$2/out.wav\" \"$(printf -- '--r\\377')\"",
                           "'--r\\xff' is not UTF-8 text" } };

    for (const auto& [script, message] : cases)
    {
        SCOPED_TRACE (script);
        const auto run = runHostInShell (script, { folder.getFullPathName() });
        EXPECT_EQ (run.exitCode, 2);
        EXPECT_TRUE (run.output.startsWith ("corvane-host: " + message)) << run.output;
        EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false).isEmpty());
    }
}

TEST_F (CommandLineHost, RefusesNamesFromTheSystemThatItCannotRead)
{
    // A folder with a Latin-1 name, and links whose targets lie in it.
    const std::filesystem::path root (folder.getFullPathName().toStdString()), odd (root / "caf\xe9");
    ASSERT_TRUE (std::filesystem::create_directory (odd));
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (1, 4800, 48000.0), 48000.0));
    std::filesystem::copy_file (root / "in.wav", odd / "in.wav");
    std::filesystem::create_symlink ("caf\xe9/in.wav", root / "to-in");
    std::filesystem::create_symlink ("caf\xe9/new", root / "to-new");
    const auto shown = folder.getFullPathName() + "/caf\\xe9";

    // A working folder removed under the host, where a relative name leads nowhere. Each such
    // run ends at an unknown option, never reached once the name is refused, so that a host
    // that took the name from the root writes nothing there.
    const juce::String gone ("mkdir \"$2/gone\" && cd \"$2/gone\" && rmdir \"$2/gone\" && ");
    const juce::String removed (" is relative to the working folder, which cannot be read: it has been removed");

    // A home folder that is not an absolute path, which JUCE would read as a path of its own.
    const juce::String home ("cd \"$2\" && CORVANE_DATA_ROOT=\"$2/data\" ");
    const juce::String notAbsolute ("') is not an absolute path");

    struct Case { juce::String script; int exitCode; juce::String message; };
    const Case cases[] {
        { "exec \"$0\" render --module \"$1\" --out \"$2/to-new\"", 2, "--out " + path ("to-new") + " leads to '" + shown + "/new'" },
        { "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --state-out \"$2/to-new\"", 2, "--state-out " + path ("to-new") + " leads to" },
        { "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --in \"$2/to-in\"", 2, "--in " + path ("to-in") + " leads to '" + shown + "/in.wav'" },
        { "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --preset \"$2/to-in\"", 2, "--preset " + path ("to-in") + " leads to" },
        { "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --state-in \"$2/to-in\"", 2, "--state-in " + path ("to-in") + " leads to" },
        { "exec \"$0\" render --module \"$2/to-in\" --out \"$2/o.wav\"", 2, "--module " + path ("to-in") + " leads to" },
        { "cd \"$2/$(printf 'caf\\351')\" && exec \"$0\" render --module \"$1\" --out x.wav", 2, "--out x.wav leads to '" + shown + "/x.wav'" },
        { "cd \"$2/$(printf 'caf\\351')\" && exec \"$0\" render --module \"$1\" --tail 0 --out \"$2/o.wav\"", 0, "" },
        { "HOME=\"$2/$(printf 'caf\\351')\" exec \"$0\" render --module \"$1\" --out \"$2/o.wav\"", 1,
          "the environment variable HOME ('" + shown + "') is not UTF-8 text" },
        { "CORVANE_DATA_ROOT=\"$2/$(printf 'caf\\351')\" exec \"$0\" render --module \"$1\" --out \"$2/o.wav\"", 1,
          "the environment variable CORVANE_DATA_ROOT ('" + shown + "') is not UTF-8 text" },
        { "CORVANE_MODULE=\"$2/$(printf 'caf\\351')/in.wav\" exec \"$0\" render --out \"$2/o.wav\"", 1,
          "the environment variable CORVANE_MODULE ('" + shown + "/in.wav') is not UTF-8 text" },
        { gone + "exec \"$0\" render --module \"$1\" --out x.wav --frobnicate", 2, "--out x.wav" + removed },
        { gone + "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --state-out s.state --frobnicate", 2, "--state-out s.state" + removed },
        { gone + "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --in in.wav --frobnicate", 2, "--in in.wav" + removed },
        { gone + "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --preset p.cvprst --frobnicate", 2, "--preset p.cvprst" + removed },
        { gone + "exec \"$0\" render --module \"$1\" --out \"$2/o.wav\" --state-in s.state --frobnicate", 2, "--state-in s.state" + removed },
        { gone + "exec \"$0\" render --module m.so --out \"$2/o.wav\" --frobnicate", 2, "--module m.so" + removed },
        { gone + "CORVANE_MODULE=m.so exec \"$0\" render --out \"$2/o.wav\"", 2, "CORVANE_MODULE m.so" + removed },
        { gone + "exec \"$0\" render --module \"$1\" --in \"$2/in.wav\" --out \"$2/o.wav\" --state-out \"$2/o.state\" --tail 0", 0, "" },
        { home + "HOME='~' exec \"$0\" describe --module \"$1\"", 1, "the environment variable HOME ('~" + notAbsolute },
        { home + "HOME='~/cfg' exec \"$0\" render --module \"$1\" --out \"$2/o.wav\"", 1, "the environment variable HOME ('~/cfg" + notAbsolute },
        { home + "HOME=cfg exec \"$0\" snapshot --module \"$1\" --out \"$2/o.png\"", 1, "the environment variable HOME ('cfg" + notAbsolute },
        { home + "HOME= exec \"$0\" show --module \"$1\"", 1, "the environment variable HOME ('" + notAbsolute },
    };

    for (const auto& [script, exitCode, message] : cases)
    {
        SCOPED_TRACE (script);
        const auto run = runHostInShell (script, { folder.getFullPathName() });
        EXPECT_EQ (run.exitCode, exitCode) << run.output;
        EXPECT_TRUE (run.output.startsWith ("corvane-host: " + message) || exitCode == 0) << run.output;
        EXPECT_EQ (folder.getChildFile ("o.wav").existsAsFile(), exitCode == 0);
        folder.getChildFile ("o.wav").deleteFile();
    }
}
