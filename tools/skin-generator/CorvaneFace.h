#pragma once

#include "SkinBuilder.h"

/**
    The layout of the built-in face: every section, widget, link, action and caption,
    in face coordinates. The editors find the widgets by the names given here.
*/
class CorvaneFace
{
public:
    static constexpr int width = 1243, height = 560;

    /** Places the whole face into the builder's main panel. */
    static void build (SkinBuilder& builder);

private:
    static void buildHeader (SkinBuilder&);
    static void buildLines (SkinBuilder&);
    static void buildRouting (SkinBuilder&);
    static void buildMaster (SkinBuilder&);
    static void buildTime (SkinBuilder&);
    static void buildTimePanel (SkinBuilder&, SkinBuilder::Element& parent, const juce::String& stage);
    static void buildFilterAndDrive (SkinBuilder&);
    static void buildFeedbackOutputModulation (SkinBuilder&);
    static void buildModulator (SkinBuilder&, int modulator, int top);
    static void buildPreset (SkinBuilder&);
};
