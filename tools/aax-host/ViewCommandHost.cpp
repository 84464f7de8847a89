#include "ViewCommandHost.h"

#include "HostX11Window.h"
#include "OutputFile.h"
#include "SimulatedGUI.h"

#include <juce_graphics/juce_graphics.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <iostream>
#include <limits>
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

    void writePng (const juce::Image& image, const juce::File& file)
    {
        OutputFile output (file);
        const auto stream = output.createStream();
        juce::PNGImageFormat png;

        // The stream keeps its first failure, whatever the encoder made of it, and finish() reports it.
        const auto encoded = png.writeImageToStream (image, *stream);

        if (const auto written = stream->finish(); ! encoded || written.failed())
            throw HostError (OutputFile::describeFailure (file, written.getErrorMessage()).toStdString());

        if (const auto result = output.commit(); result.failed())
            throw HostError (result.getErrorMessage().toStdString());
    }

    /** The whole input at the instance's rate: show plays it in a loop, so it is kept. */
    juce::AudioBuffer<float> readWholeInput (std::unique_ptr<RenderInput> input, int numChannels)
    {
        juce::AudioBuffer<float> whole (numChannels, static_cast<int> (juce::jmin<int64_t> (input->getLength(), std::numeric_limits<int>::max())));
        juce::AudioBuffer<float> block (whole.getNumChannels(), 8192);
        int filled = 0;

        for (int got; filled < whole.getNumSamples() && (got = input->read (block, juce::jmin (8192, whole.getNumSamples() - filled))) > 0; filled += got)
            for (int channel = 0; channel < whole.getNumChannels(); ++channel)
                whole.copyFrom (channel, filled, block, channel, 0, got);

        if (filled == 0)
            throw HostError ("the input holds no audio");

        whole.setSize (whole.getNumChannels(), filled, true);
        return whole;
    }

    /** Copies the source's next block into the instance's inputs, wrapping at its end. */
    int fillInputs (SimulatedInstance& instance, const juce::AudioBuffer<float>& source, int numInputs, int position, int length)
    {
        for (int done = 0; done < length;)
        {
            const auto piece = juce::jmin (length - done, source.getNumSamples() - position);

            for (int channel = 0; channel < numInputs; ++channel)
                juce::FloatVectorOperations::copy (instance.getInput (channel) + done,
                                                   source.getReadPointer (juce::jmin (channel, source.getNumChannels() - 1), position),
                                                   piece);

            done += piece;
            position = (position + piece) % source.getNumSamples();
        }

        return position;
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

    writePng (toImage (buffer), options.output);
    std::cout << "Wrote " << options.output.getFullPathName() << " (" << buffer.width << " x " << buffer.height << ")\n";
}

void ViewCommandHost::show()
{
    juce::AudioBuffer<float> source;
    auto sampleRate = defaultSampleRate;

    if (options.input != juce::File())
    {
        auto input = host.openInput (sampleRate);

        try
        {
            source = readWholeInput (std::move (input), options.numInputs);
        }
        catch (const std::runtime_error& error)
        {
            throw HostError ("cannot read " + options.input.getFullPathName().toStdString() + ": " + error.what());
        }
    }

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

    std::atomic<bool> playing { source.getNumSamples() > 0 };
    std::thread player;

    if (playing)
    {
        player = std::thread ([&]
        {
            const auto blockSize = options.blockSize;
            const std::chrono::duration<double> blockLength (blockSize / sampleRate);
            auto due = std::chrono::steady_clock::now();
            int position = 0;

            while (playing)
            {
                position = fillInputs (*instance, source, options.numInputs, position, blockSize);
                instance->processBlock (blockSize);
                due += std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockLength);
                std::this_thread::sleep_until (due);
            }
        });
    }

    std::cout << "Showing the editor (" << static_cast<int> (size.horizontal) << " x " << static_cast<int> (size.vertical)
              << "); close its window to quit" << std::endl;

    for (auto shown = gui.getContainer()->getViewSize(); window.dispatchEvents();)
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

    if (player.joinable())
        player.join();

    check (gui.detach(), "the editor failed to close");
}
