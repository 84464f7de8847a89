#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include "TestFolder.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

// Last: Xlib's macros (None, Bool, Status) would clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
    int ignoreXErrors (Display*, XErrorEvent*)    { return 0; }

    struct DisplayCloser
    {
        void operator() (Display* display) const    { XCloseDisplay (display); }
    };

    juce::String environment (const char* name)
    {
        const auto* value = std::getenv (name);
        return value != nullptr ? value : "";
    }

    Window findWindowNamed (Display* display, const char* name)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int numChildren = 0;
        Window found = 0;

        if (XQueryTree (display, DefaultRootWindow (display), &root, &parent, &children, &numChildren) == 0)
            return 0;

        for (unsigned int i = 0; i < numChildren && found == 0; ++i)
        {
            char* windowName = nullptr;

            if (XFetchName (display, children[i], &windowName) != 0 && windowName != nullptr)
            {
                if (juce::String (windowName) == name)
                    found = children[i];

                XFree (windowName);
            }
        }

        if (children != nullptr)
            XFree (children);

        return found;
    }

    /** How many different colours the window shows now (0 when it cannot be read). */
    size_t countColours (Display* display, Window window)
    {
        XWindowAttributes attributes;

        if (XGetWindowAttributes (display, window, &attributes) == 0 || attributes.map_state != IsViewable)
            return 0;

        auto* image = XGetImage (display, window, 0, 0, static_cast<unsigned int> (attributes.width),
                                 static_cast<unsigned int> (attributes.height), AllPlanes, ZPixmap);

        if (image == nullptr)
            return 0;

        std::set<unsigned long> colours;

        for (int y = 0; y < attributes.height; y += 3)
            for (int x = 0; x < attributes.width; x += 3)
                colours.insert (XGetPixel (image, x, y));

        XDestroyImage (image);
        return colours.size();
    }

    struct Run
    {
        int exitCode;
        juce::String output;
    };

    /** The command, stopped once it has run 120 s (and killed 10 s later): a hang of the host
        fails its test instead of holding the suite until CTest's own limit.
    */
    juce::StringArray bounded (const juce::StringArray& command)
    {
        juce::StringArray result { "timeout", "--kill-after=10", "120" };
        result.addArray (command);
        return result;
    }

    /** corvane-host with the view command's arguments, without any X display. */
    Run runHeadless (const juce::StringArray& commandArguments)
    {
        juce::StringArray arguments { "env", "-u", "DISPLAY", environment ("CORVANE_HOST") };
        arguments.addArray (commandArguments);
        arguments.addArray ({ "--module", environment ("CORVANE_MODULE") });

        juce::ChildProcess process;

        if (! process.start (bounded (arguments), juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return { -1, "could not start the host" };

        const auto output = process.readAllProcessOutput();
        process.waitForProcessToFinish (60000);
        return { static_cast<int> (process.getExitCode()), output };
    }

    template <typename Condition>
    bool waitFor (Condition&& condition, int milliseconds)
    {
        for (const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (milliseconds);
             juce::Time::getMillisecondCounter() < end; juce::Thread::sleep (100))
            if (condition())
                return true;

        return false;
    }
}

TEST (SnapshotCommand, WritesWhatTheEditorShowsWithoutADisplay)
{
    const TestFolder testFolder ("corvane-snapshot-test");
    const auto& folder = testFolder.getFile();
    ASSERT_TRUE (folder.isDirectory());
    const auto png = folder.getChildFile ("face.png");
    const auto path = png.getFullPathName();

    const struct { juce::StringArray arguments; int exitCode; const char* says; bool written; } cases[] =
    {
        { { "snapshot", "--out", path, "--rate", "44100", "--set", "FX Amount=0.25" }, 0, "(1243 x 576)", true },
        { { "snapshot" }, 2, "snapshot needs --out FILE.png", false },
        { { "snapshot", "--out", path, "--in", "x.wav" }, 2, "--in does not belong to snapshot", false },
        { { "snapshot", "--out", path, "--set", "FX Amount=lots" }, 2, "'lots' is not a value it takes", false },
        { { "snapshot", "--out", path, "--state-in", folder.getChildFile ("missing.state").getFullPathName() }, 2, "missing.state", false },
        { { "show", "--out", path }, 2, "--out does not belong to show", false },
        { { "show" }, 1, "cannot open a window", false },
    };

    for (const auto& c : cases)
    {
        png.deleteFile();
        const auto run = runHeadless (c.arguments);
        EXPECT_EQ (run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE (run.output.contains (c.says)) << run.output;
        EXPECT_EQ (png.existsAsFile(), c.written) << run.output;

        if (c.written)
        {
            const auto image = juce::ImageFileFormat::loadFrom (png);
            EXPECT_EQ (image.getBounds(), juce::Rectangle<int> (1243, 576));
        }
    }
}

// The editor in a real window of the command-line host: it maps, paints, and the host quits
// cleanly when the window is closed; with an input it plays, the file is read as it is played,
// in memory that does not grow with its length. Needs an X display (the build runs it under Xvfb).
TEST (ShowCommand, OpensTheEditorInAWindowAndQuitsWhenItIsClosed)
{
    if (environment ("DISPLAY").isEmpty())
        GTEST_SKIP() << "no X display";

    // JUCE's windows provoke harmless errors on a bare server; Xlib would end the test on them.
    XSetErrorHandler (ignoreXErrors);
    std::unique_ptr<Display, DisplayCloser> display (XOpenDisplay (nullptr));

    if (display == nullptr)
        GTEST_SKIP() << "the X display cannot be reached";

    // A second of a tone, played in a loop, and three minutes of silence, both mono at 192 kHz:
    // held whole on both inputs, as it once was, the silence would take 276 MB.
    const TestFolder testFolder ("corvane-show-test");
    const auto& folder = testFolder.getFile();

    for (const auto& [name, seconds] : { std::pair ("short.flac", 1), std::pair ("long.flac", 180) })
    {
        juce::AudioBuffer<float> audio (1, 192000 * seconds);
        audio.clear();

        for (int i = 0; i < 192000 && seconds == 1; ++i)
            audio.setSample (0, i, 0.3f * std::sin (0.01f * static_cast<float> (i)));

        std::unique_ptr<juce::AudioFormatWriter> writer (juce::FlacAudioFormat().createWriterFor (
            new juce::FileOutputStream (folder.getChildFile (name)), 192000.0, 1, 16, {}, 0));
        ASSERT_TRUE (writer != nullptr && writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()));
    }

    std::map<juce::String, long> peaks;

    for (const juce::String input : { "", "short.flac", "long.flac" })
    {
        SCOPED_TRACE (input);
        juce::StringArray command { "/bin/sh", "-c", "echo $$; exec \"$0\" \"$@\"", environment ("CORVANE_HOST"), "show",
                                    "--module", environment ("CORVANE_MODULE") };

        if (input.isNotEmpty())
            command.addArray ({ "--in", folder.getChildFile (input).getFullPathName() });

        // The shell says the process id that the host then takes over.
        juce::ChildProcess host;
        ASSERT_TRUE (host.start (bounded (command), juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));
        juce::String pid;

        for (char c = 0; host.readProcessOutput (&c, 1) == 1 && c != '\n';)
            pid << c;

        Window window = 0;
        ASSERT_TRUE (waitFor ([&] { return (window = findWindowNamed (display.get(), "Corvane")) != 0; }, 30000))
            << "no window appeared";

        // A window that nothing has painted is one flat colour.
        EXPECT_TRUE (waitFor ([&] { return countColours (display.get(), window) > 1; }, 20000)) << "the window shows no editor";

        // A moment of playing, then the most memory the host has taken.
        juce::Thread::sleep (1000);
        peaks[input] = juce::File ("/proc/" + pid + "/status").loadFileAsString().fromFirstOccurrenceOf ("VmHWM:", false, false).getLargeIntValue();

        XEvent close {};
        close.xclient.type = ClientMessage;
        close.xclient.window = window;
        close.xclient.message_type = XInternAtom (display.get(), "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long> (XInternAtom (display.get(), "WM_DELETE_WINDOW", False));
        XSendEvent (display.get(), window, False, NoEventMask, &close);
        XFlush (display.get());

        ASSERT_TRUE (host.waitForProcessToFinish (30000)) << "the host did not quit";
        EXPECT_EQ (host.getExitCode(), 0u) << host.readAllProcessOutput();
        EXPECT_EQ (findWindowNamed (display.get(), "Corvane"), 0u);
    }

    // A file found cut as it is read ends the show with what is wrong with it.
    juce::MemoryBlock whole;
    const auto cut = folder.getChildFile ("cut.flac");
    ASSERT_TRUE (folder.getChildFile ("short.flac").loadFileAsData (whole) && cut.replaceWithData (whole.getData(), whole.getSize() / 2));
    juce::ChildProcess host;
    ASSERT_TRUE (host.start (bounded ({ environment ("CORVANE_HOST"), "show", "--module", environment ("CORVANE_MODULE"), "--in", cut.getFullPathName() }),
                             juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));
    const auto output = host.readAllProcessOutput();
    ASSERT_TRUE (host.waitForProcessToFinish (30000)) << "the host did not quit";
    EXPECT_EQ (host.getExitCode(), 1u);
    EXPECT_TRUE (output.endsWith ("corvane-host: cannot read " + cut.getFullPathName() + ": the file is cut short\n")) << output;

    EXPECT_GT (peaks["short.flac"], 0);
    EXPECT_LT (peaks["long.flac"] - peaks["short.flac"], 64 * 1024) << peaks["short.flac"] << " KB, then " << peaks["long.flac"] << " KB";
}
