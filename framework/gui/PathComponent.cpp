#include "PathComponent.h"

#include "DefaultLookAndFeel.h"
#include "FileDialogs.h"
#include "FolderChild.h"

PathComponent::PathComponent()
{
    browseButton.addListener (this);
    addAndMakeVisible (browseButton);
    lookAndFeelChanged();
    measurePath();
    repaint();
}

PathComponent::~PathComponent()
{
    browseButton.removeListener (this);
}

void PathComponent::setPath (const juce::String& newPath, bool notify)
{
    // Two texts can name the same folder ("/a/b/" and "/a/b", or letter case where the
    // file system ignores it); whether they do is the platform's file-name rule.
    const auto newFile = FolderChild::fromPath (newPath), file = FolderChild::fromPath (path);
    const auto sameFolder = newFile != juce::File() && file != juce::File() ? newFile == file : newPath == path;
    if (sameFolder)
        return;

    path = newPath;
    measurePath();
    repaint();

    if (notify)
        for (int i = listeners.size(); --i >= 0;)
            if (i < listeners.size())
                listeners.getUnchecked (i)->pathChanged (this);
}

void PathComponent::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void PathComponent::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void PathComponent::browse()
{
    FileDialogs::Request request;
    request.title = chooserTitle;
    request.initialFile = initialFolder;
    request.patterns = filePatterns;
    request.flags = juce::FileBrowserComponent::openMode
                        | (choosesFiles ? juce::FileBrowserComponent::canSelectFiles
                                        : juce::FileBrowserComponent::canSelectDirectories);

    FileDialogs::launch (*this, request, [safeThis = juce::Component::SafePointer<PathComponent> (this)] (const FileDialogs::Choice& choice)
    {
        if (safeThis == nullptr)
            return;

        if (choice.refused)
            juce::NullCheckedInvocation::invoke (safeThis->onChoiceRefused);
        else if (! choice.files.isEmpty())
            safeThis->setPath (choice.files.getFirst().getFullPathName(), true);
    });
}

void PathComponent::paint (juce::Graphics& g)
{
    const auto alpha = isEnabled() ? 1.0f : 0.5f;
    const auto outline = findColour (outlineColourId);

    if (! outline.isTransparent())
        drawFilledRoundedRectangle (g, fieldArea, 4.0f, findColour (backgroundColourId).withMultipliedAlpha (alpha),
                                    outline.withMultipliedAlpha (alpha), 1.0f);

    g.setFont (font);
    g.setColour (findColour (textColourId).withMultipliedAlpha (alpha));

    if (pathWidth <= fieldArea.getWidth() - 8)
    {
        g.drawText (path, textArea, juce::Justification::centredLeft, false);
        return;
    }

    // Too long: the start stays readable and the cut is marked.
    auto area = textArea;
    const auto ellipsisArea = area.removeFromRight (ellipsisWidth);

    g.drawText (path, area, juce::Justification::centredLeft, false);
    g.setOpacity (0.5f * alpha);
    g.drawText (ellipsisText, ellipsisArea, juce::Justification::centredLeft, false);
}

void PathComponent::resized()
{
    browseButton.changeWidthToFitText (getHeight());
    browseButton.setTopLeftPosition (getWidth() - browseButton.getWidth(), 0);

    fieldArea = getLocalBounds().withTrimmedRight (browseButton.getWidth() + gap);
    textArea = fieldArea.reduced (4, 0);
}

void PathComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = lf->getStandardFont();
        measurePath();
        repaint();
    }

    resized();
}

void PathComponent::enablementChanged()
{
    browseButton.setEnabled (isEnabled());
    repaint();
}

void PathComponent::buttonClicked (juce::Button*)
{
    browse();
}

void PathComponent::measurePath()
{
    ellipsisWidth = juce::roundToInt (font.getStringWidthFloat (ellipsisText));
    pathWidth = juce::roundToInt (font.getStringWidthFloat (path));
}
