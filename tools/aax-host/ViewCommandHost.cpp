#include "ViewCommandHost.h"

#include "HostX11Window.h"
#include "OutputFile.h"
#include "SimulatedGUI.h"

#include <juce_graphics/juce_graphics.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>

namespace
{
    constexpr double defaultSampleRate = 48000.0;

    /** Long enough for a few of the editor's 25 ms ticks and its asynchronous updates. */
    constexpr auto settleTime = std::chrono::milliseconds (300);

    void check (AAX_Result result, const std::string& what)
    {
        if (result != AAX_OK)
            throw HostError (what + " (" + std::to_string (result) + ")");
    }

    void openEditor (SimulatedGUI& gui)
    {
        check (gui.create(), "the module made no editor");
        check (gui.initialize(), "the editor failed to initialise");
    }

    juce::Image toImage (const AAX_PixelBuffer& buffer)
    {
        juce::Image image (juce::Image::ARGB, buffer.width, buffer.height, false, juce::SoftwareImageType());
        const juce::Image::BitmapData data (image, juce::Image::BitmapData::writeOnly);

        // JUCE keeps ARGB pixels as premultiplied native 0xAARRGGBB words, as the buffer does.
        for (int y = 0; y < buffer.height; ++y)
            std::memcpy (data.getLinePointer (y), buffer.pixels + static_cast<size_t> (y) * static_cast<size_t> (buffer.width),
                         static_cast<size_t> (buffer.width) * sizeof (uint32_t));

        return image;
    }

    void writePng (const juce::Image& image, const juce::File& file, std::function<juce::Result()> checkBeforeReplacing)
    {
        OutputFile output (file, std::move (checkBeforeReplacing));
        const auto stream = output.createStream();
        juce::PNGImageFormat png;

        // The stream keeps its first failure, whatever the encoder made of it, and finish() reports it.
        const auto encoded = png.writeImageToStream (image, *stream);

        if (const auto written = stream->finish(); ! encoded || written.failed())
            throw HostError (OutputFile::describeFailure (file, written.getErrorMessage()).toStdString());

        if (const auto result = output.commit(); result.failed())
            throw HostError (result.getErrorMessage().toStdString());
    }

    /** Frames of the input read ahead of the player: a fixed amount, whatever the file's length. */
    constexpr int readAheadSize = 1 << 16;

    /** Reads the input into the fifo ahead of the player, from its start again each time it
        ends, until playing stops; keeps the error that stops it sooner.
    */
    void readAhead (RenderInput& input, juce::AbstractFifo& fifo, juce::AudioBuffer<float>& ring, const std::atomic<bool>& playing,
                    std::atomic<bool>& failed, std::string& error)
    {
        juce::AudioBuffer<float> block (ring.getNumChannels(), 4096);

        try
        {
            for (auto restarted = false; playing;)
            {
                if (fifo.getFreeSpace() < block.getNumSamples())
                {
                    std::this_thread::sleep_for (std::chrono::milliseconds (5));
                    continue;
                }

                const auto got = input.read (block, block.getNumSamples());

                if (got == 0)
                {
                    if (restarted)
                        throw std::runtime_error ("the input holds no audio");

                    input.restart();
                    restarted = true;
                    continue;
                }

                restarted = false;
                const auto scope = fifo.write (got);

                for (int channel = 0; channel < ring.getNumChannels(); ++channel)
                {
                    ring.copyFrom (channel, scope.startIndex1, block, channel, 0, scope.blockSize1);
                    ring.copyFrom (channel, scope.startIndex2, block, channel, scope.blockSize1, scope.blockSize2);
                }
            }
        }
        catch (const std::exception& e)
        {
            error = e.what();
            failed = true;
        }
    }

    /** Copies the input's next block from the fifo into the instance's inputs: silence where
        the reader has fallen behind, as a host's audio thread plays it.
    */
    void fillInputs (SimulatedInstance& instance, juce::AbstractFifo& fifo, const juce::AudioBuffer<float>& ring, int length)
    {
        const auto ready = fifo.getNumReady() >= length;
        const auto scope = fifo.read (ready ? length : 0);

        for (int channel = 0; channel < ring.getNumChannels(); ++channel)
        {
            auto* destination = instance.getInput (channel);
            juce::FloatVectorOperations::clear (destination, length);
            juce::FloatVectorOperations::copy (destination, ring.getReadPointer (channel) + scope.startIndex1, scope.blockSize1);
            juce::FloatVectorOperations::copy (destination + scope.blockSize1, ring.getReadPointer (channel) + scope.startIndex2, scope.blockSize2);
        }
    }
}

ViewCommandHost::ViewCommandHost (const CommandLineOptions& o)
    : options (o), host (o)
{
}

void ViewCommandHost::snapshot()
{
    auto module = host.loadModule();
    auto instance = host.makeInstance (*module, host.findComponent (*module), options.sampleRate.value_or (defaultSampleRate));
    host.applySettings (*instance);

    SimulatedGUI gui (*instance);
    openEditor (gui);
    check (gui.attach (AAX_ViewContainerPixelBuffer), "the editor refused the view");

    std::this_thread::sleep_for (settleTime);
    check (gui.draw(), "the editor failed to draw");

    const auto& buffer = gui.getContainer()->getPixelBuffer();

    if (buffer.width <= 0 || buffer.height <= 0 || buffer.pixels == nullptr)
        throw HostError ("the editor showed nothing (it asked for no view size)");

    writePng (toImage (buffer), options.output, [this] { return host.checkOutput ("--out"); });
    std::cout << "Wrote " << options.output.getFullPathName() << " (" << buffer.width << " x " << buffer.height << ")\n";
}

void ViewCommandHost::show()
{
    std::unique_ptr<RenderInput> input;
    auto sampleRate = defaultSampleRate;

    if (options.input != juce::File())
        input = host.openInput (sampleRate);

    auto module = host.loadModule();
    auto instance = host.makeInstance (*module, host.findComponent (*module), sampleRate);
    host.applySettings (*instance);

    SimulatedGUI gui (*instance);
    openEditor (gui);

    AAX_Point size;
    check (gui.getViewSize (size), "the editor has no view size");

    HostX11Window window ("Corvane", static_cast<int> (size.horizontal), static_cast<int> (size.vertical));

    if (! window.isOpen())
        throw HostError ("cannot open a window: no X display (DISPLAY is not set or cannot be reached)");

    check (gui.attach (AAX_ViewContainerX11Window, window.getNativeHandle()), "the editor refused the view");

    // The player stands for a host's audio thread, which touches no file: the input is read
    // ahead of it on a thread of its own, as a host's disk thread reads it, in bounded memory.
    juce::AbstractFifo fifo (readAheadSize);
    juce::AudioBuffer<float> ring (options.numInputs, readAheadSize);
    std::atomic<bool> playing { input != nullptr }, failed { false };
    std::string readError;
    std::thread reader, player;

    if (playing)
    {
        reader = std::thread ([&] { readAhead (*input, fifo, ring, playing, failed, readError); });
        player = std::thread ([&]
        {
            const auto blockSize = options.blockSize;
            const std::chrono::duration<double> blockLength (blockSize / sampleRate);
            auto due = std::chrono::steady_clock::now();

            while (playing)
            {
                fillInputs (*instance, fifo, ring, blockSize);
                instance->processBlock (blockSize);
                due += std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockLength);
                std::this_thread::sleep_until (due);
            }
        });
    }

    std::cout << "Showing the editor (" << static_cast<int> (size.horizontal) << " x " << static_cast<int> (size.vertical)
              << "); close its window to quit" << std::endl;

    for (auto shown = gui.getContainer()->getViewSize(); ! failed && window.dispatchEvents();)
    {
        // The editor tells the container when it changes size; the window follows.
        if (const auto wanted = gui.getContainer()->getViewSize(); wanted.horizontal != shown.horizontal || wanted.vertical != shown.vertical)
        {
            shown = wanted;
            window.setSize (static_cast<int> (shown.horizontal), static_cast<int> (shown.vertical));
        }

        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }

    playing = false;

    for (auto* thread : { &reader, &player })
        if (thread->joinable())
            thread->join();

    check (gui.detach(), "the editor failed to close");

    if (failed)
        throw HostError ("cannot read " + options.input.getFullPathName().toStdString() + ": " + readError);
}
