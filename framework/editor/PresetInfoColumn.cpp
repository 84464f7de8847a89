#include "PresetInfoColumn.h"
#include "PresetDirectoryColumn.h"

namespace
{
    // Two beamed notes, the column's only decoration, drawn once. A faint watermark on a
    // clear ground: the author's name is written over the picture's upper part.
    juce::Image drawPicture()
    {
        juce::Image image (juce::Image::ARGB, 176, 203, true);
        juce::Graphics g (image);
        g.setColour (juce::Colours::white.withAlpha (0.6f));

        const auto head = [&g] (float x, float y)
        {
            juce::Path note;
            note.addEllipse (x, y, 40.0f, 28.0f);
            note.applyTransform (juce::AffineTransform::rotation (-0.4f, x + 20.0f, y + 14.0f));
            g.fillPath (note);
        };

        head (22.0f, 140.0f);
        head (106.0f, 120.0f);
        g.fillRect (56.0f, 50.0f, 6.0f, 100.0f);
        g.fillRect (140.0f, 30.0f, 6.0f, 100.0f);

        juce::Path beam;
        beam.addQuadrilateral (56.0f, 50.0f, 146.0f, 30.0f, 146.0f, 52.0f, 56.0f, 72.0f);
        g.fillPath (beam);
        return image;
    }
}

PresetBrowser::PresetInfoColumn::PresetInfoColumn (PresetBrowser& browser, const juce::String& presetPath)
    : Column (browser), owner (browser), path (presetPath)
{
    static const auto sharedPicture = drawPicture();
    picture = sharedPicture;

    const auto setUp = [this] (juce::Label& label, const juce::String& text, juce::Font font, juce::Justification justification)
    {
        label.setText (text, juce::dontSendNotification);
        label.setFont (font);
        label.setJustificationType (justification);
        label.setColour (juce::Label::textColourId, juce::Colours::black);
        label.setMinimumHorizontalScale (1.0f);
        label.setLookAndFeel (&labelLookAndFeel);
        addAndMakeVisible (label);
    };

    setUp (title, {}, juce::Font ("Tahoma", 20.0f, juce::Font::bold), juce::Justification::centredTop);
    setUp (authorCaption, "Author:", juce::Font ("Tahoma", 13.0f, juce::Font::plain), juce::Justification::centred);
    setUp (authorValue, {}, juce::Font ("Tahoma", 13.5f, juce::Font::bold), juce::Justification::centred);
    setUp (ratingCaption, "My rating:", juce::Font ("Tahoma", 13.0f, juce::Font::plain), juce::Justification::centred);

    addAndMakeVisible (rating);
    rating.addListener (this);
}

PresetBrowser::PresetInfoColumn::~PresetInfoColumn()
{
    rating.removeListener (this);

    for (auto* label : { &title, &authorCaption, &authorValue, &ratingCaption })
        label->setLookAndFeel (nullptr);
}

juce::String PresetBrowser::PresetInfoColumn::getParentPath() const
{
    return juce::File (path).getParentDirectory().getFullPathName();
}

bool PresetBrowser::PresetInfoColumn::isDescendantOf (Column* column)
{
    auto* directory = dynamic_cast<PresetDirectoryColumn*> (column);
    return directory != nullptr && &directory->getBrowser() == &owner
        && juce::File (path).isAChildOf (juce::File (directory->getPath()));
}

bool PresetBrowser::PresetInfoColumn::isChildOf (Column* column)
{
    auto* directory = dynamic_cast<PresetDirectoryColumn*> (column);
    return directory != nullptr && &directory->getBrowser() == &owner
        && getParentPath() == directory->getPath();
}

ColumnBrowser::Column* PresetBrowser::PresetInfoColumn::createParentColumn()
{
    if (owner.getCollection().findFolder (getParentPath()) == nullptr)
        return nullptr;

    return new PresetDirectoryColumn (owner, getParentPath());
}

FilePreset* PresetBrowser::PresetInfoColumn::findPreset()
{
    auto& collection = owner.getCollection();
    return collection.getPreset (collection.indexOfPreset (path), owner.getPlugin().parameterManager);
}

void PresetBrowser::PresetInfoColumn::refreshContent()
{
    title.setText (juce::File (path).getFileNameWithoutExtension(), juce::dontSendNotification);

    if (auto* preset = findPreset())
    {
        // Showing the stored rating is no click: it must not write the file.
        rating.removeListener (this);

        if (preset->getRating() > 0)
            rating.setRating (preset->getRating());

        rating.addListener (this);

        authorValue.setText (preset->getAuthor(), juce::dontSendNotification);
    }
}

void PresetBrowser::PresetInfoColumn::ratingChanged (RatingComponent* component)
{
    auto* preset = findPreset();
    const auto newRating = component->getRating();

    if (preset == nullptr || newRating < 1 || newRating > 5)
        return;

    // Only the attribute is rewritten: saving the whole preset from memory would empty a
    // file that failed to load and drop the values of parameters this version lacks.
    juce::String reason;

    if (Preset::rewriteFileRating (juce::File (path), newRating, &reason))
    {
        preset->setRating (newRating);
        return;
    }

    // A file that could not be rewritten safely keeps its rating, and the stars show it.
    rating.removeListener (this);
    rating.setRating (preset->getRating());
    rating.addListener (this);
    owner.showFailures ("The rating was not written:", { owner.getCollection().getDisplayPath (path) + ": " + reason });
}

void PresetBrowser::PresetInfoColumn::resized()
{
    const auto innerWidth = getWidth() - 7;
    const auto contentWidth = juce::jmax (0, innerWidth - 20);
    const auto innerHeight = juce::jmax (0, getHeight() - 20);

    title.setBounds (10, innerHeight / 4 - 20, contentWidth, 40);
    ratingCaption.setBounds (10, innerHeight / 2 - 15, contentWidth, 15);
    rating.setTopLeftPosition (10 + (contentWidth - rating.getWidth()) / 2, ratingCaption.getBottom());
    authorCaption.setBounds (10, (innerHeight / 5) * 4, contentWidth, 15);
    authorValue.setBounds (10, authorCaption.getBottom(), contentWidth, 15);
}

void PresetBrowser::PresetInfoColumn::paint (juce::Graphics& g)
{
    Column::paint (g);

    if (! g.getClipBounds().isEmpty())
        g.drawImageAt (picture, (getWidth() - 7 - picture.getWidth()) / 2, getHeight() - picture.getHeight());
}
