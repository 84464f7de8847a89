#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace
{
    struct Run
    {
        int exitCode;
        juce::String output;   // standard output and standard error together
    };

    /** corvane-host, run as a user runs it (the build passes its path in CORVANE_HOST). */
    Run runHost (const juce::StringArray& arguments)
    {
        const auto* host = std::getenv ("CORVANE_HOST");
        juce::StringArray command { host != nullptr ? host : "corvane-host" };
        command.addArray (arguments);

        juce::ChildProcess process;

        if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return { -1, "could not start " + command[0] };

        const auto output = process.readAllProcessOutput();
        process.waitForProcessToFinish (120000);
        return { static_cast<int> (process.getExitCode()), output };
    }

    juce::String modulePath()
    {
        const auto* path = std::getenv ("CORVANE_MODULE");
        return path != nullptr ? path : "";
    }

    bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
    {
        file.deleteFile();
        auto stream = std::make_unique<juce::FileOutputStream> (file);
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), sampleRate,
                                                                              static_cast<unsigned int> (audio.getNumChannels()),
                                                                              32, {}, 0));

        if (writer == nullptr)
            return false;

        stream.release();
        return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    }

    struct Wav
    {
        juce::AudioBuffer<float> audio;
        double sampleRate = 0.0;
    };

    Wav readWav (const juce::File& file)
    {
        Wav result;
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));

        if (reader != nullptr)
        {
            result.sampleRate = reader->sampleRate;
            result.audio.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
            reader->read (&result.audio, 0, result.audio.getNumSamples(), 0, true, true);
        }

        return result;
    }

    juce::AudioBuffer<float> sine (int numChannels, int numSamples, double sampleRate)
    {
        juce::AudioBuffer<float> audio (numChannels, numSamples);

        for (int channel = 0; channel < numChannels; ++channel)
            for (int i = 0; i < numSamples; ++i)
                audio.setSample (channel, i, 0.3f * static_cast<float> (std::sin (2.0 * juce::MathConstants<double>::pi * 330.0 * i / sampleRate)));

        return audio;
    }
}

class CommandLineHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (folder.createDirectory());
    }

    void TearDown() override
    {
        folder.deleteRecursively();
    }

    juce::String path (const char* name) const    { return folder.getChildFile (name).getFullPathName(); }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("corvane-host-test", {});
};

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
}

TEST_F (CommandLineHost, RendersTheDemoPhrase)
{
    const auto run = runHost ({ "render", "--module", modulePath(), "--out", path ("demo.wav") });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.startsWith ("Wrote " + path ("demo.wav")));
    EXPECT_TRUE (run.output.contains ("Peak ") && run.output.contains ("dBFS, RMS ")) << run.output;

    // Six bars of 4/4 at 120 bpm, in stereo at 48 kHz; sound, and not clipped.
    const auto demo = readWav (folder.getChildFile ("demo.wav"));
    EXPECT_EQ (demo.sampleRate, 48000.0);
    EXPECT_EQ (demo.audio.getNumChannels(), 2);
    EXPECT_EQ (demo.audio.getNumSamples(), 576000);
    EXPECT_GT (demo.audio.getRMSLevel (0, 0, demo.audio.getNumSamples()), 0.001f);
    EXPECT_GT (demo.audio.getRMSLevel (1, 0, demo.audio.getNumSamples()), 0.001f);
    EXPECT_LT (demo.audio.getMagnitude (0, demo.audio.getNumSamples()), 1.0f);

    // The same settings render the same phrase.
    ASSERT_EQ (runHost ({ "render", "--module", modulePath(), "--out", path ("again.wav") }).exitCode, 0);
    const auto again = readWav (folder.getChildFile ("again.wav"));
    ASSERT_EQ (again.audio.getNumSamples(), demo.audio.getNumSamples());

    for (int channel = 0; channel < 2; ++channel)
        EXPECT_EQ (std::memcmp (again.audio.getReadPointer (channel), demo.audio.getReadPointer (channel),
                                sizeof (float) * static_cast<size_t> (demo.audio.getNumSamples())), 0);
}

TEST_F (CommandLineHost, RendersAFileWithEveryOption)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (1, 44100, 44100.0), 44100.0));

    const auto first = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("a.wav"),
                                  "--config", "1x2", "--rate", "48000", "--block", "100", "--bpm", "90", "--play",
                                  "--set", "22=1", "--set", "master volume=0.4", "--set", "MasterBypassID=0",
                                  "--state-out", path ("a.state") });
    ASSERT_EQ (first.exitCode, 0) << first.output;

    const auto rendered = readWav (folder.getChildFile ("a.wav"));
    EXPECT_EQ (rendered.sampleRate, 48000.0);
    EXPECT_EQ (rendered.audio.getNumChannels(), 2);
    EXPECT_EQ (rendered.audio.getNumSamples(), 48000);
    EXPECT_GT (rendered.audio.getRMSLevel (1, 0, 48000), 0.001f);
    EXPECT_TRUE (folder.getChildFile ("a.state").existsAsFile());

    // Bypassed, the input comes out as it went in, a mono input on both outputs.
    for (const auto* config : { "2x2", "1x2" })
    {
        SCOPED_TRACE (config);
        const auto bypassed = runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("b.wav"),
                                         "--config", config, "--state-in", path ("a.state"), "--bypass" });
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
    juce::MemoryBlock saved, savedAgain;
    ASSERT_TRUE (folder.getChildFile ("a.state").loadFileAsData (saved));
    ASSERT_TRUE (folder.getChildFile ("c.state").loadFileAsData (savedAgain));
    EXPECT_EQ (saved, savedAgain);
}

TEST_F (CommandLineHost, BadInputGetsOneLineAndLeavesTheOutputAlone)
{
    ASSERT_TRUE (writeWav (folder.getChildFile ("in.wav"), sine (2, 4800, 48000.0), 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("three.wav"), sine (3, 4800, 48000.0), 48000.0));
    ASSERT_TRUE (writeWav (folder.getChildFile ("slow.wav"), sine (1, 400, 4000.0), 4000.0));
    ASSERT_TRUE (folder.getChildFile ("text.wav").replaceWithText ("not audio"));
    ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("an earlier output"));
    ASSERT_EQ (runHost ({ "render", "--module", modulePath(), "--in", path ("in.wav"), "--out", path ("good.wav"),
                          "--state-out", path ("good.state") }).exitCode, 0);

    juce::MemoryBlock wav;
    ASSERT_TRUE (folder.getChildFile ("in.wav").loadFileAsData (wav));
    ASSERT_TRUE (folder.getChildFile ("cut.wav").replaceWithData (wav.getData(), wav.getSize() / 2));

    juce::MemoryBlock state;
    ASSERT_TRUE (folder.getChildFile ("good.state").loadFileAsData (state));
    ASSERT_TRUE (folder.getChildFile ("cut.state").replaceWithData (state.getData(), state.getSize() - 10));

    const juce::StringArray render { "render", "--module", modulePath(), "--out", path ("out.wav") };
    const auto with = [&render] (juce::StringArray extra) { auto arguments = render; arguments.addArray (extra); return arguments; };

    const std::vector<std::pair<juce::StringArray, juce::String>> cases {
        { with ({ "--in", path ("missing.wav") }), "no such file" },
        { with ({ "--in", path ("text.wav") }), "not a WAV, AIFF, FLAC or Ogg Vorbis file" },
        { with ({ "--in", path ("three.wav") }), "only mono and stereo" },
        { with ({ "--in", path ("cut.wav") }), "cut short" },
        { with ({ "--in", path ("slow.wav") }), "choose one with --rate" },
        { with ({ "--set", "200=0.5" }), "unknown parameter '200'" },
        { with ({ "--set", "No Such Thing=0.5" }), "unknown parameter" },
        { with ({ "--set", "5=1.5" }), "out of range" },
        { with ({ "--set", "5=-0.1" }), "out of range" },
        { with ({ "--set", "5=abc" }), "ID=VALUE" },
        { with ({ "--set", "5" }), "ID=VALUE" },
        { with ({ "--config", "2x1" }), "--config" },
        { with ({ "--rate", "1000" }), "out of range" },
        { with ({ "--rate", "fast" }), "needs a number" },
        { with ({ "--block", "0" }), "out of range" },
        { with ({ "--block", "2.5" }), "whole number" },
        { with ({ "--bpm", "5000" }), "out of range" },
        { with ({ "--state-in", path ("text.wav") }), "not a state file" },
        { with ({ "--state-in", path ("cut.state") }), "cut short" },
        { with ({ "--state-in", path ("missing.state") }), "no such file" },
        { with ({ "--frobnicate" }), "unknown option" },
        { with ({ "--in" }), "needs a value" },
        { { "render", "--module", modulePath(), "--out", path ("missing folder/out.wav") }, "cannot write" },
        { { "render", "--module", modulePath(), "--out", folder.getFullPathName() }, "is a folder" },
        { { "render", "--module", path ("missing.so"), "--out", path ("out.wav") }, "no such file" },
        { { "render", "--module", path ("text.wav"), "--out", path ("out.wav") }, "cannot load the module" },
        { { "render" }, "needs --out" },
        { { "describe", "--bypass" }, "belongs to render" },
        { { "play" }, "unknown command" },
        { {}, "no command" }
    };

    for (const auto& [arguments, message] : cases)
    {
        SCOPED_TRACE (arguments.joinIntoString (" "));
        const auto run = runHost (arguments);
        EXPECT_NE (run.exitCode, 0);
        EXPECT_TRUE (run.output.startsWith ("corvane-host: ")) << run.output;
        EXPECT_TRUE (run.output.contains (message)) << run.output;
        EXPECT_EQ (run.output.trimEnd().indexOfChar ('\n'), -1) << run.output;
        EXPECT_EQ (folder.getChildFile ("out.wav").loadFileAsString(), "an earlier output");
    }

    EXPECT_FALSE (folder.getChildFile ("missing folder").exists());
}

TEST_F (CommandLineHost, HelpDescribesTheCommands)
{
    const auto run = runHost ({ "--help" });
    EXPECT_EQ (run.exitCode, 0);

    for (const auto* option : { "describe", "render", "--in", "--out", "--config", "--rate", "--block", "--bpm", "--play",
                                "--set", "--state-in", "--state-out", "--bypass", "--module" })
        EXPECT_TRUE (run.output.contains (option)) << option;
}
