#include "CorvaneFace.h"

namespace
{
    using Kind = SkinBuilder::Decoration::Kind;
    using Rect = juce::Rectangle<int>;
    using Point = juce::Point<int>;

    // Preview sets: a panel that takes turns with others names the previews showing it.
    constexpr int preview1 = 1 << 1, preview2 = 1 << 2, preview3 = 1 << 3, noPreview = 1 << 4;

    juce::String n (int number)    { return juce::String (number); }
}

void CorvaneFace::build (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    main.bounds = { 0, 0, width, height };
    b.decorate (main, Kind::face, main.bounds);

    buildHeader (b);
    buildLines (b);
    buildRouting (b);
    buildMaster (b);
    buildTime (b);
    buildFilterAndDrive (b);
    buildFeedbackOutputModulation (b);
    buildModulator (b, 1, 52);
    buildModulator (b, 2, 248);
    buildPreset (b);
}

void CorvaneFace::buildHeader (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::brand, { 20, 8, 420, 32 });

    b.lampButton (main, "MidiLearnButton", "Toggle Midi Learn", { 1001, 13, 84, 22 }, "MIDI LEARN");
    b.pushButton (main, "OptionsButton", "Options", { 1093, 13, 70, 22 }, "OPTIONS");
    b.pushButton (main, "AboutButton", "About", { 1171, 13, 60, 22 }, "ABOUT");
}

void CorvaneFace::buildLines (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 12, 52, 250, 262 }, "LINES");
    b.pushButton (main, "SelectNextLineButton", "Select Next Line", { 204, 55, 50, 18 }, "NEXT");

    b.decorate (main, Kind::caption, { 22, 82, 40, 11 }, "LINE");
    b.decorate (main, Kind::caption, { 66, 82, 38, 11 }, "MUTE");
    b.decorate (main, Kind::caption, { 106, 82, 40, 11 }, "LEVEL");
    b.decorate (main, Kind::caption, { 158, 82, 93, 11 }, "OUTPUT  L / R");

    for (int line = 1; line <= 4; ++line)
    {
        const auto top = 98 + (line - 1) * 54;
        const auto prefix = "Delay" + n (line);

        auto& select = b.lampButton (main, prefix + "SelectButton", "Select Line " + n (line), { 22, top, 40, 40 }, {});
        select.resource = b.image ("LineButton" + n (line) + ".png", [&b, line] { return b.getArtist().lineButton (40, line); });
        b.action (select, "onClickWithCtrl", "Copy Line " + n (line) + " To Clipboard");
        b.action (select, "onRightClick", "Paste Clipboard To Line " + n (line));
        select.previewFrame = line == 1 ? 2 : 0;

        auto& mute = b.lampButton (main, prefix + "MuteButton", "Toggle Line " + n (line) + " Mute",
                                   { 70, top, 30, 19 }, "M", SkinArtist::Palette::red);
        b.link (mute, "Line " + n (line) + " Mute");
        b.action (mute, "onClickWithCtrl", "Toggle Line " + n (line) + " Solo");
        mute.previewFrame = line == 3 ? 2 : 0;

        auto& padlock = b.lampButton (main, prefix + "PadlockButton", "Toggle Line " + n (line) + " Padlock",
                                      { 70, top + 21, 30, 19 }, {});
        padlock.resource = b.image ("Padlock30x19.png", [&b] { return b.getArtist().padlockButton (30, 19); });

        b.knob (main, prefix + "VolumeKnob", "Line " + n (line) + " Volume", { 108, top + 2 }, 36, {});

        b.decorate (main, Kind::well, { 157, top + 10, 95, 20 });
        for (auto side : { 0, 1 })
        {
            auto& meter = b.animation (main, prefix + "VUMeter" + (side == 0 ? "Left" : "Right") + "Animation",
                                       { 160, top + 13 + side * 8, 89, 6 }, "LineMeter.png", 19,
                                       [&b] { return b.getArtist().meter (89, 6, 18, false); });
            meter.previewFrame = 15 - line * 2 - side;
        }
    }
}

void CorvaneFace::buildRouting (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 12, 322, 250, 86 }, "ROUTING");

    b.pushButton (main, "RoutingSelectSwitch", "Select Routing", { 22, 362, 64, 24 }, "SELECT");

    const auto names = b.getItems ("Delay Lines Routing");
    auto& picture = b.animation (main, "RoutingAnim", { 96, 352, 158, 50 }, "Routing.png", names.size(),
                                 [&b, names] { return b.getArtist().routing (158, 50, names); });
    b.link (picture, "Delay Lines Routing");
    picture.previewFrame = 2;
}

void CorvaneFace::buildMaster (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 12, 416, 250, 132 }, "MASTER");

    b.knob (main, "FXAmountKnob", "FX Amount", { 22, 442 }, 72, "FX AMOUNT", 201);
    b.lampButton (main, "FXAmountPadlockButton", "Toggle FX Amount Padlock", { 100, 444, 28, 19 }, {})
        .resource = b.image ("Padlock28x19.png", [&b] { return b.getArtist().padlockButton (28, 19); });

    b.toggle (main, "LimiterActiveButton", "Limiter Active", { 182, 444, 46, 19 }, "LIMIT");
    b.knob (main, "MasterVolumeKnob", "Master Volume", { 132, 470 }, 44, "VOLUME");
    b.knob (main, "LimiterThresholdKnob", "Limiter Threshold", { 183, 470 }, 44, "THRESH");
    b.decorate (main, Kind::caption, { 190, 429, 40, 11 }, "CLIP", juce::Justification::centredRight);

    for (auto side : { 0, 1 })
    {
        const auto x = 236 + side * 11;
        const auto sideName = juce::String (side == 0 ? "Left" : "Right");
        b.animation (main, "OutputClip" + sideName + "Anim", { x - 2, 428, 11, 11 }, "ClipLamp.png", 2,
                     [&b] { return b.getArtist().lamp (11, SkinArtist::Palette::red); });
        b.decorate (main, Kind::well, { x - 1, 443, 9, 90 });
        b.animation (main, "OutputVU" + sideName + "Anim", { x, 444, 7, 88 }, "OutputMeter.png", 23,
                     [&b] { return b.getArtist().meter (7, 88, 22, true); })
            .previewFrame = 16 - side * 2;
        b.decorate (main, Kind::caption, { x - 2, 535, 11, 10 }, side == 0 ? "L" : "R");
    }
}

//==============================================================================
void CorvaneFace::buildTime (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 270, 52, 570, 148 }, "TIME");

    b.lampButton (main, "DelayPanelSelectSwitch", "Select Delay Panel", { 336, 55, 70, 18 }, "DELAY").previewFrame = 2;
    b.lampButton (main, "PredelayPanelSelectSwitch", "Select Pre-delay Panel", { 410, 55, 90, 18 }, "PRE-DELAY");

    buildTimePanel (b, main, "Delay");
    buildTimePanel (b, main, "Pre-delay");
}

void CorvaneFace::buildTimePanel (SkinBuilder& b, SkinBuilder::Element& main, const juce::String& stage)
{
    // The delay and pre-delay panels share one place; the editor shows one of them.
    const auto isDelay = stage == "Delay";
    const auto prefix = isDelay ? juce::String ("Delay") : juce::String ("Predelay");

    auto& panel = b.panel (main, prefix + "TimePanel", { 278, 78, 554, 118 }, isDelay ? preview1 | preview3 : preview2);
    b.toggle (panel, prefix + "TempoSyncButton", stage + " Tempo Sync", { 292, 98, 58, 20 }, "SYNC");
    b.toggle (panel, prefix + "JoinChannelsButton", stage + " Join Channels", { 292, 126, 58, 20 }, "LINK");
    b.decorate (panel, Kind::caption, { 288, 152, 66, 10 }, "L = R");
    b.decorate (panel, Kind::divider, { 362, 86, 2, 102 });

    const auto area = Rect (366, 78, 466, 118);
    auto& free = b.panel (panel, prefix + "TimePanelNotSync", area, isDelay ? preview1 : noPreview);
    auto& sync = b.panel (panel, prefix + "TimePanelSync", area, isDelay ? preview3 : preview2);

    for (auto side : { 0, 1 })
    {
        const auto hx = area.getX() + side * (area.getWidth() / 2);
        const auto sideName = juce::String (side == 0 ? "Left" : "Right");
        const auto caption = Rect (hx, 84, area.getWidth() / 2, 11);
        const auto sideCaption = juce::String (side == 0 ? "LEFT" : "RIGHT");

        // Free time: knob, milliseconds and a tap button.
        b.decorate (free, Kind::caption, caption, sideCaption);
        b.decorate (free, Kind::lcd, { hx + 98, 106, 82, 26 });
        b.decorate (free, Kind::caption, { hx + 184, 114, 20, 11 }, "MS", juce::Justification::centredLeft);

        const auto knobAt = Point (hx + 26, 100);
        const auto displayAt = Point (hx + 100, 108);
        const auto minimum = juce::String (isDelay ? "0.1" : "0.0");

        b.knob (free, prefix + sideName + "TimeKnob", stage + " " + sideName + " Time", knobAt, 56, "TIME");
        b.milliseconds (free, prefix + sideName + "TimeDisplay", stage + " " + sideName + " Time Linear", displayAt, minimum);

        if (side == 1)
        {
            // Joined channels: the right side follows the left one.
            b.knob (free, prefix + "RightTimeJoinedKnob", stage + " Left Time", knobAt, 56, {});
            b.milliseconds (free, prefix + "RightTimeJoinedDisplay", stage + " Left Time Linear", displayAt, minimum);
        }

        auto& tap = b.pushButton (free, prefix + "Tap" + sideName + "Button", {}, { hx + 98, 142, 82, 20 }, "TAP");
        b.link (tap, "Tap Button " + sideName);

        // Synchronised time: a fraction of a whole note and its rhythmic scale.
        b.decorate (sync, Kind::caption, caption, sideCaption);
        b.decorate (sync, Kind::lcd, { hx + 82, 106, 30, 26 });
        b.decorate (sync, Kind::lcd, { hx + 122, 106, 30, 26 });
        b.decorate (sync, Kind::caption, { hx + 112, 110, 10, 18 }, "/");
        b.decorate (sync, Kind::caption, { hx + 20, 114, 58, 11 }, "NOTE", juce::Justification::centredRight);

        const auto nominatorMin = isDelay ? 1 : 0;
        const auto duration = stage + " " + sideName + " Duration ";
        const auto displayName = prefix + "Time" + sideName;
        b.fraction (sync, displayName + "Nominator", duration + "Nominator", { hx + 84, 108 }, nominatorMin).previewFrame = 3;
        b.fraction (sync, displayName + "Denominator", duration + "Denominator", { hx + 124, 108 }, 1);

        if (side == 1)
        {
            const auto left = stage + " Left Duration ";
            b.fraction (sync, displayName + "NominatorJoined", left + "Nominator", { hx + 84, 108 }, nominatorMin);
            b.fraction (sync, displayName + "DenominatorJoined", left + "Denominator", { hx + 124, 108 }, 1);
        }

        const juce::StringArray scales { "Full", "Dot", "Triplet" };
        const juce::StringArray labels { "FULL", "DOT", "TRIP" };

        for (int i = 0; i < 3; ++i)
            b.lampButton (sync, prefix + "Time" + sideName + scales[i] + "Switch",
                          "Select " + stage + " " + sideName + " Scale " + scales[i],
                          { hx + 46 + i * 50, 142, 46, 20 }, labels[i])
                .previewFrame = i == 0 ? 2 : 0;
    }
}

//==============================================================================
void CorvaneFace::buildFilterAndDrive (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 270, 208, 300, 166 }, "FILTER");

    const juce::StringArray names { "DelayFilterSwitch", "DelayFilterLPSwitch", "DelayFilterBPSwitch", "DelayFilterHPSwitch" };
    const juce::StringArray events { "Turn Off Filter", "Select LP Filter", "Select BP Filter", "Select HP Filter" };
    const juce::StringArray labels { "OFF", "LP", "BP", "HP" };

    for (int i = 0; i < 4; ++i)
        b.lampButton (main, names[i], events[i], { 284 + i * 70, 242, 64, 20 }, labels[i]).previewFrame = i == 1 ? 2 : 0;

    b.knob (main, "FilterCutoffKnob", "Filter Cutoff", { 296, 278 }, 56, "CUTOFF");
    b.knob (main, "FilterResonanceKnob", "Filter Resonance", { 386, 278 }, 56, "RESONANCE");

    b.decorate (main, Kind::caption, { 494, 272, 64, 10 }, "ORDER");
    b.lampButton (main, "DelayFilterPreOverdriveSwitch", "Select Pre Overdrive", { 494, 284, 64, 20 }, "PRE").previewFrame = 2;
    b.lampButton (main, "DelayFilterPostOverdriveSwitch", "Select Post Overdrive", { 494, 308, 64, 20 }, "POST");
    b.toggle (main, "FilterFeedbackLoopButton", "Filter Feedback Loop", { 494, 340, 64, 20 }, "IN LOOP");

    b.decorate (main, Kind::module, { 578, 208, 262, 166 }, "DRIVE");
    b.toggle (main, "OverdriveButton", "Overdrive", { 592, 242, 64, 20 }, "ON").previewFrame = 2;
    b.knob (main, "OverdrivePreampKnob", "Overdrive Preamp", { 592, 284 }, 44, "PREAMP");
    b.centredKnob (main, "OverdriveColorKnob", "Overdrive Color", { 644, 284 }, 44, "COLOR");
    b.knob (main, "OverdriveGainKnob", "Overdrive Gain", { 696, 284 }, 44, "GAIN");

    b.decorate (main, Kind::divider, { 750, 236, 2, 128 });
    b.animation (main, "SignalFlowAnim", { 760, 238, 70, 126 }, "SignalFlow.png", 16,
                 [&b] { return b.getArtist().signalFlow (70, 126); })
        .previewFrame = 4 + 2;
}

void CorvaneFace::buildFeedbackOutputModulation (SkinBuilder& b)
{
    auto& main = b.getMainPanel();

    b.decorate (main, Kind::module, { 270, 382, 170, 166 }, "FEEDBACK");
    b.centredKnob (main, "FeedbackKnob", "Feedback", { 284, 430 }, 56, "AMOUNT");
    b.centredKnob (main, "StereoSpreadKnob", "Stereo Spread", { 368, 436 }, 44, "SPREAD");
    b.toggle (main, "FeedbackHoldButton", "Feedback Hold", { 284, 508, 56, 20 }, "HOLD");

    b.decorate (main, Kind::module, { 448, 382, 196, 166 }, "OUTPUT");
    b.lampButton (main, "DelayModeLRSwitch", "Select L/R Mode", { 462, 416, 60, 20 }, "L/R").previewFrame = 2;
    b.lampButton (main, "DelayModeMSSwitch", "Select M/S Mode", { 462, 440, 60, 20 }, "M/S");
    b.toggle (main, "ChannelSwapButton", "Channel Swap", { 462, 476, 60, 20 }, "SWAP");
    b.toggle (main, "ChannelStereoToMonoButton", "Channel Stereo To Mono", { 462, 500, 60, 20 }, "MONO");
    b.centredKnob (main, "PanningKnob", "Panning", { 556, 412 }, 52, "PAN");
    b.knob (main, "VolumeKnob", "Volume", { 556, 478 }, 52, "LEVEL");

    b.decorate (main, Kind::module, { 652, 382, 188, 166 }, "MODULATION");
    b.lampButton (main, "ModulationSourceLFO1Switch", "Select Modulation Source LFO1", { 666, 416, 52, 20 }, "MOD 1")
        .previewFrame = 2;
    b.lampButton (main, "ModulationSourceLFO2Switch", "Select Modulation Source LFO2", { 722, 416, 52, 20 }, "MOD 2");
    b.lampButton (main, "ModulationScaleLinearSwitch", "Select Modulation Scale Linear", { 666, 440, 52, 20 }, "LIN")
        .previewFrame = 2;
    b.lampButton (main, "ModulationScaleLogarithmicSwitch", "Select Modulation Scale Logarithmic", { 722, 440, 52, 20 }, "LOG");
    b.decorate (main, Kind::caption, { 780, 421, 50, 10 }, "SOURCE", juce::Justification::centredLeft);
    b.decorate (main, Kind::caption, { 780, 445, 50, 10 }, "SCALE", juce::Justification::centredLeft);
    b.knob (main, "ModulationTimeKnob", "Modulation Time", { 666, 476 }, 44, "TIME");
    b.knob (main, "ModulationCutoffKnob", "Modulation Cutoff", { 725, 476 }, 44, "CUTOFF");
    b.knob (main, "ModulationTremoloKnob", "Modulation Tremolo", { 784, 476 }, 44, "TREMOLO");
}

//==============================================================================
void CorvaneFace::buildModulator (SkinBuilder& b, int m, int top)
{
    auto& main = b.getMainPanel();
    const auto mod = "MOD " + n (m);
    const auto lfo = "LFO " + n (m);
    const auto dy = top - 52;

    b.decorate (main, Kind::module, { 848, top, 383, 188 }, mod);

    const juce::StringArray types { "LFO", "ENV", "PEAK" };
    for (int i = 0; i < 3; ++i)
        b.lampButton (main, "MOD" + n (m) + "Type" + types[i] + "Switch", "Select " + mod + " Type " + types[i],
                      { 1076 + i * 50, top + 3, 46, 18 }, types[i])
            .previewFrame = (m == 1 ? i == 0 : i == 2) ? 2 : 0;

    // The retrigger window opens 163 pixels above this button, over the modulator.
    b.lampButton (main, "MOD" + n (m) + "RetriggerSettings", mod + " Retrigger Settings",
                  { 860, top + 162, 100, 20 }, "RETRIGGER");

    // The LFO controls lie underneath: the editor shows the envelope or peak panel over them.
    auto& lfoPanel = b.panel (main, "LFO" + n (m) + "Panel", { 856, 80 + dy, 367, 130 });
    const auto waveforms = b.getItems (lfo + " Waveform");
    b.selector (lfoPanel, "LFO" + n (m) + "WaveformSwitch", lfo + " Waveform", { 866, 88 + dy, 52, 64 },
                { "S/H", "SAW", "SQR", "SINE", "TRI" }, "WAVE");
    b.decorate (lfoPanel, Kind::well, { 927, 89 + dy, 90, 52 });
    auto& wave = b.animation (lfoPanel, "LFO" + n (m) + "WaveformAnim", { 928, 90 + dy, 88, 50 }, "WaveWindow.png",
                              waveforms.size(), [&b, waveforms] { return b.getArtist().waveWindow (88, 50, waveforms); });
    b.link (wave, lfo + " Waveform");
    wave.previewFrame = 3;
    b.toggle (lfoPanel, "LFO" + n (m) + "WaveInvertButton", lfo + " Wave Invert", { 928, 150 + dy, 42, 20 }, "INV");
    b.toggle (lfoPanel, "LFO" + n (m) + "TempoSyncButton", lfo + " Tempo Sync", { 974, 150 + dy, 44, 20 }, "SYNC");
    b.animation (lfoPanel, "LFO" + n (m) + "ResetLED", { 930, 178 + dy, 12, 12 }, "ResetLamp.png", 2,
                 [&b] { return b.getArtist().lamp (12, SkinArtist::Palette::accent); });
    b.decorate (lfoPanel, Kind::caption, { 946, 178 + dy, 60, 12 }, "RESTART", juce::Justification::centredLeft);
    b.decorate (lfoPanel, Kind::divider, { 1028, 88 + dy, 2, 114 });

    const auto area = Rect (1034, 80 + dy, 189, 130);
    auto& free = b.panel (lfoPanel, "LFO" + n (m) + "NotSyncedPanel", area, m == 1 ? preview1 : noPreview);
    auto& sync = b.panel (lfoPanel, "LFO" + n (m) + "SyncedPanel", area, m == 1 ? preview2 : preview3);

    b.knob (free, "LFO" + n (m) + "FrequencyKnob", lfo + " Frequency", { 1046, 94 + dy }, 56, "RATE");
    b.knob (free, "LFO" + n (m) + "PhaseShiftKnob", lfo + " Phase Shift", { 1124, 100 + dy }, 44, "PHASE");

    const auto rates = b.getItems (lfo + " Rate");
    b.selector (sync, "LFO" + n (m) + "RateSwitch", lfo + " Rate", { 1040, 88 + dy, 58, 66 }, rates, "RATE");
    b.knob (sync, "LFO" + n (m) + "SyncedPhaseShiftKnob", lfo + " Phase Shift", { 1168, 100 + dy }, 44, "PHASE");
    const juce::StringArray scales { "Full", "Dot", "Triplet" };
    const juce::StringArray labels { "FULL", "DOT", "TRIP" };
    for (int i = 0; i < 3; ++i)
        b.lampButton (sync, "LFO" + n (m) + "Scale" + scales[i] + "Switch", "Select " + lfo + " Scale " + scales[i],
                      { 1108, 90 + dy + i * 24, 50, 20 }, labels[i])
            .previewFrame = i == 0 ? 2 : 0;

    for (auto* panel : { &free, &sync })
    {
        const auto name = "LFO" + n (m) + (panel == &free ? "FreeRateLED" : "SyncRateLED");
        b.animation (*panel, name, { 1200, 178 + dy, 12, 12 }, "RateLamp.png", 2,
                     [&b] { return b.getArtist().lamp (12, SkinArtist::Palette::accent); })
            .previewFrame = 1;
        b.decorate (*panel, Kind::caption, { 1136, 178 + dy, 60, 12 }, "CYCLE", juce::Justification::centredRight);
    }

    auto& envelope = b.panel (main, "ENV" + n (m) + "Panel", { 856, 80 + dy, 367, 130 }, m == 1 ? preview3 : preview2);
    const juce::StringArray stages { "Attack", "Decay", "Sustain", "Hold", "Release" };
    for (int i = 0; i < 5; ++i)
        b.knob (envelope, "ENV" + n (m) + stages[i] + "Knob", "ENV " + n (m) + " " + stages[i],
                { 872 + i * 64, 108 + dy }, 44, stages[i].toUpperCase());
    b.animation (envelope, "ENV" + n (m) + "ResetLED", { 1200, 178 + dy, 12, 12 }, "ResetLamp.png", 2,
                 [&b] { return b.getArtist().lamp (12, SkinArtist::Palette::accent); });
    b.decorate (envelope, Kind::caption, { 1136, 178 + dy, 60, 12 }, "RESTART", juce::Justification::centredRight);

    auto& peak = b.panel (main, "PEAK" + n (m) + "Panel", { 856, 80 + dy, 367, 130 }, m == 1 ? noPreview : preview1);
    b.knob (peak, "PEAK" + n (m) + "SensitivityKnob", "PEAK " + n (m) + " Sensitivity", { 872, 100 + dy }, 52, "SENSITIVITY");
    b.knob (peak, "PEAK" + n (m) + "AttackKnob", "PEAK " + n (m) + " Attack", { 944, 100 + dy }, 52, "ATTACK");
    b.knob (peak, "PEAK" + n (m) + "ReleaseKnob", "PEAK " + n (m) + " Release", { 1016, 100 + dy }, 52, "RELEASE");
    b.decorate (peak, Kind::well, { 1088, 119 + dy, 123, 12 });
    b.animation (peak, "PEAK" + n (m) + "MeterAnim", { 1090, 121 + dy, 119, 8 }, "PeakMeter.png", 25,
                 [&b] { return b.getArtist().meter (119, 8, 24, false); })
        .previewFrame = 17;
    b.decorate (peak, Kind::caption, { 1088, 135 + dy, 123, 11 }, "FOLLOWER");
}

void CorvaneFace::buildPreset (SkinBuilder& b)
{
    auto& main = b.getMainPanel();
    b.decorate (main, Kind::module, { 848, 444, 383, 104 }, "PRESET");

    const auto nameArea = Rect (859, 475, 274, 35);
    b.decorate (main, Kind::lcd, nameArea);

    auto& name = b.textInput (main, "PresetNameDisplay", "Preset Name", nameArea);
    name.attributes.set ("editable", "onDoubleClick");
    name.attributes.set ("textColour", "FF501700");
    name.attributes.set ("highlightedTextColour", "FFFA7B2A");
    name.attributes.set ("backgroundColour", "0");
    name.attributes.set ("highlightColour", "FF501700");
    name.attributes.set ("caretColour", "FF501700");
    name.attributes.set ("outlineColour", "0");
    name.attributes.set ("focusedOutlineColour", "0");
    name.fontAttributes.set ("name", "Halvorn Sans");
    name.fontAttributes.set ("height", "21.5");
    name.fontAttributes.set ("style", "bold");
    name.fontAttributes.set ("extraKerning", "-0.05");

    b.pushButton (main, "PreviousPresetButton", "Select previous preset", { 1141, 475, 40, 35 }, juce::String::charToString (0x25c0));
    b.pushButton (main, "NextPresetButton", "Select next preset", { 1185, 475, 38, 35 }, juce::String::charToString (0x25b6));

    b.pushButton (main, "BrowsePresetsButton", "Browse presets", { 859, 518, 84, 20 }, "BROWSE");
    auto& save = b.pushButton (main, "SavePresetButton", "Save preset", { 949, 518, 84, 20 }, "SAVE");
    b.action (save, "onClickWithCtrl", "Save preset as");
    b.decorate (main, Kind::caption, { 1039, 518, 184, 20 }, "CTRL-CLICK SAVE: SAVE AS", juce::Justification::centredRight);
}
