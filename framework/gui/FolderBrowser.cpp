#include "FolderBrowser.h"
#include "ApplicationDataFolders.h"
#include "CaseKey.h"
#include "FolderChild.h"
#include "FolderListing.h"
#include "StrictUtf8.h"
#include "WorkingFolder.h"

#include <algorithm>

namespace
{
    bool isSet (int flags, int flag)    { return (flags & flag) != 0; }

    /** Where a browser given no file starts: the working folder, or the home folder where the
        working folder cannot be named.
    */
    juce::File getStartFolder()
    {
        const auto working = WorkingFolder::find();
        return working != juce::File() ? working : ApplicationDataFolders::getHomeFolder();
    }
}

FolderBrowser::FolderBrowser (int browserFlags, const juce::String& wildcards, const juce::File& initialFile)
    : flags (browserFlags),
      patterns (juce::StringArray::fromTokens (wildcards, ";,", "\"")),
      upButton (getLookAndFeel().createFileBrowserGoUpButton())
{
    patterns.trim();
    patterns.removeEmptyStrings();

    folderLabel.setMinimumHorizontalScale (1.0f);
    addAndMakeVisible (folderLabel);
    addAndMakeVisible (fileLabel);

    upButton->setTooltip ("Go up to parent directory");
    upButton->onClick = [this] { setFolder (folder.getParentDirectory()); };
    addAndMakeVisible (*upButton);

    list.setModel (this);
    list.setRowHeight (22);
    addAndMakeVisible (list);

    fileBox.setMultiLine (false);
    fileBox.setSelectAllWhenFocused (true);
    fileBox.addListener (this);
    fileBox.setExplicitFocusOrder (1);
    addAndMakeVisible (fileBox);

    const auto start = initialFile == juce::File() ? getStartFolder() : initialFile;
    const auto startsInFolder = start.isDirectory();
    setFolder (startsInFolder ? start : start.getParentDirectory());

    if (! startsInFolder && isSet (flags, juce::FileBrowserComponent::canSelectFiles))
        fileBox.setText (start.getFileName(), false);
}

FolderBrowser::~FolderBrowser()
{
    list.setModel (nullptr);
}

void FolderBrowser::setFolder (const juce::File& newFolder)
{
    folder = newFolder;
    folderLabel.setText (folder.getFullPathName(), juce::dontSendNotification);
    rows.clear();

    for (auto& entry : FolderListing::list (folder))
    {
        if (entry.bytes.empty() || entry.bytes.front() == '.')
            continue;

        const auto shown = entry.name.has_value() ? *entry.name : StrictUtf8::escaped (entry.bytes);

        if (entry.isFolder || isShownFile (shown))
            rows.push_back ({ shown, entry.name, entry.isFolder });
    }

    std::sort (rows.begin(), rows.end(), [] (const Row& a, const Row& b)
    {
        if (a.isFolder != b.isFolder)
            return a.isFolder;

        return a.shown.compareNatural (b.shown) < 0;
    });

    upButton->setEnabled (folder.getParentDirectory() != folder);
    list.deselectAllRows();
    list.updateContent();
    list.setVerticalPosition (0.0);
    list.repaint();
    juce::NullCheckedInvocation::invoke (onChange);
}

bool FolderBrowser::isShownFile (const juce::String& name) const
{
    if (! isSet (flags, juce::FileBrowserComponent::canSelectFiles))
        return false;

    // A file saved or unpacked with its extension in other letter case is offered too, as the
    // preset tree lists it, alike in every locale.
    const auto key = CaseKey::of (name);

    return patterns.isEmpty() || std::any_of (patterns.begin(), patterns.end(), [&key] (const juce::String& pattern)
    {
        return key.matchesWildcard (CaseKey::of (pattern), false);
    });
}

juce::File FolderBrowser::getChosenFile() const
{
    const auto typed = fileBox.getText();

    if (typed.isNotEmpty())
        return FolderChild::of (folder, typed);

    return isSet (flags, juce::FileBrowserComponent::canSelectDirectories) ? folder : juce::File();
}

juce::File FolderBrowser::getClickedFile() const
{
    const auto row = list.getSelectedRow();

    if (! juce::isPositiveAndBelow (row, (int) rows.size()) || ! rows[(size_t) row].name.has_value())
        return {};

    return FolderChild::of (folder, *rows[(size_t) row].name);
}

bool FolderBrowser::isChosenFileValid() const
{
    const auto file = getChosenFile();

    if (file == juce::File())
        return false;

    if (! isSet (flags, juce::FileBrowserComponent::canSelectFiles))
        return file.isDirectory();

    if (isSet (flags, juce::FileBrowserComponent::saveMode))
        return ! file.isDirectory();

    return file.existsAsFile() || (isSet (flags, juce::FileBrowserComponent::canSelectDirectories) && file.isDirectory());
}

int FolderBrowser::findRow (const juce::String& name) const
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].shown == name)
            return (int) i;

    return -1;
}

void FolderBrowser::resized()
{
    auto area = getLocalBounds();
    auto top = area.removeFromTop (24);
    upButton->setBounds (top.removeFromRight (30));
    folderLabel.setBounds (top.withTrimmedRight (4));
    area.removeFromTop (4);

    auto bottom = area.removeFromBottom (24);
    fileLabel.setBounds (bottom.removeFromLeft (40));
    fileBox.setBounds (bottom);
    area.removeFromBottom (4);
    list.setBounds (area);
}

int FolderBrowser::getNumRows()
{
    return (int) rows.size();
}

void FolderBrowser::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected)
{
    if (! juce::isPositiveAndBelow (row, (int) rows.size()))
        return;

    const auto& item = rows[(size_t) row];
    auto& lf = getLookAndFeel();

    if (selected)
        g.fillAll (lf.findColour (juce::DirectoryContentsDisplayComponent::highlightColourId));

    auto area = juce::Rectangle<int> (0, 0, width, height).reduced (4, 0);

    if (auto* icon = item.isFolder ? lf.getDefaultFolderImage() : lf.getDefaultDocumentFileImage())
        icon->drawWithin (g, area.removeFromLeft (height).reduced (2).toFloat(), juce::RectanglePlacement::centred, 1.0f);

    // A name that cannot be read is shown as its bytes, paler: it cannot be chosen.
    const auto colour = lf.findColour (selected ? juce::DirectoryContentsDisplayComponent::highlightedTextColourId
                                                : juce::DirectoryContentsDisplayComponent::textColourId);
    g.setColour (item.name.has_value() ? colour : colour.withMultipliedAlpha (0.5f));
    g.setFont ((float) height * 0.7f);
    g.drawText (item.shown, area.withTrimmedLeft (6), juce::Justification::centredLeft, true);
}

void FolderBrowser::selectedRowsChanged (int)
{
    const auto clicked = getClickedFile();
    const auto isFolder = clicked.isDirectory();

    if (clicked != juce::File() && (isFolder ? isSet (flags, juce::FileBrowserComponent::canSelectDirectories)
                                             : isSet (flags, juce::FileBrowserComponent::canSelectFiles)))
        fileBox.setText (clicked.getFileName(), false);

    juce::NullCheckedInvocation::invoke (onChange);
}

void FolderBrowser::listBoxItemDoubleClicked (int row, const juce::MouseEvent&)
{
    open (row);
}

void FolderBrowser::returnKeyPressed (int row)
{
    open (row);
}

void FolderBrowser::open (int row)
{
    if (! juce::isPositiveAndBelow (row, (int) rows.size()) || ! rows[(size_t) row].name.has_value())
        return;

    const auto file = FolderChild::of (folder, *rows[(size_t) row].name);

    if (rows[(size_t) row].isFolder)
    {
        if (isSet (flags, juce::FileBrowserComponent::canSelectDirectories))
            fileBox.clear();

        setFolder (file);
    }
    else
    {
        fileBox.setText (file.getFileName(), false);
        juce::NullCheckedInvocation::invoke (onChosen);
    }
}

void FolderBrowser::textEditorTextChanged (juce::TextEditor&)
{
    juce::NullCheckedInvocation::invoke (onChange);
}

// A typed folder is opened, as a double click would open it; anything else is the answer.
void FolderBrowser::textEditorReturnKeyPressed (juce::TextEditor&)
{
    const auto typed = getChosenFile();

    if (fileBox.getText().isNotEmpty() && typed.isDirectory())
    {
        fileBox.clear();
        setFolder (typed);
    }
    else
    {
        juce::NullCheckedInvocation::invoke (onChosen);
    }
}

void FolderBrowser::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    juce::NullCheckedInvocation::invoke (onCancelled);
}
