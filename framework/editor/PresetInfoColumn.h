#pragma once

#include "PresetBrowser.h"
#include "RatingComponent.h"

/**
    The last column of the preset browser for an opened preset: its name, the user's own
    star rating, its author and a picture. A click on a star stores the rating in the
    preset file at once.
*/
class PresetBrowser::PresetInfoColumn  : public ColumnBrowser::Column,
                                         public RatingComponent::Listener
{
public:
    PresetInfoColumn (PresetBrowser& browser, const juce::String& presetPath);
    ~PresetInfoColumn() override;

    const juce::String& getPath() const noexcept            { return path; }
    RatingComponent& getRatingComponent() noexcept          { return rating; }
    juce::Label& getTitleLabel() noexcept                   { return title; }
    juce::Label& getAuthorLabel() noexcept                  { return authorValue; }

    bool isDescendantOf (Column* column) override;
    bool isChildOf (Column* column) override;
    Column* createParentColumn() override;
    int getDefaultWidth() override                          { return 220; }
    int getMinimumWidth() override                          { return 180; }
    void refreshContent() override;

    /** Writes the new rating into the preset file, touching nothing else of it. */
    void ratingChanged (RatingComponent* component) override;

    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    /** Plain label drawing, whatever the window's look-and-feel. */
    class LF  : public juce::LookAndFeel_V3 {};

    FilePreset* findPreset();
    juce::String getParentPath() const;

    PresetBrowser& owner;
    juce::String path;
    LF labelLookAndFeel;
    juce::Label title, authorCaption, authorValue, ratingCaption;
    juce::Image picture;
    RatingComponent rating;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetInfoColumn)
};
