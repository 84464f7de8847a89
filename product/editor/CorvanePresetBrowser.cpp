#include "CorvanePresetBrowser.h"

namespace
{
    const char openPadlockSvg[] =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">)"
        R"(<path d="M4.5 7V4.5a3.5 3.5 0 0 1 7 0" fill="none" stroke="#6e6e6e" stroke-width="1.6"/>)"
        R"(<rect x="2.5" y="7" width="11" height="8" rx="1.5" fill="#9a9a9a" stroke="#5a5a5a"/></svg>)";

    const char closedPadlockSvg[] =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">)"
        R"(<path d="M4.5 7V4.5a3.5 3.5 0 0 1 7 0V7" fill="none" stroke="#8a3a00" stroke-width="1.6"/>)"
        R"(<rect x="2.5" y="7" width="11" height="8" rx="1.5" fill="#ff8c1a" stroke="#8a3a00"/></svg>)";

    std::unique_ptr<juce::Drawable> makeIcon (const char* svg)
    {
        const auto xml = juce::parseXML (svg);
        return xml != nullptr ? juce::Drawable::createFromSVG (*xml) : nullptr;
    }
}

CorvanePresetBrowser::CorvanePresetBrowser (Corvane& p, PresetCollection& collection)
    : PresetBrowserWindow (p, collection), processor (p)
{
    const auto offIcon = makeIcon (openPadlockSvg);
    const auto onIcon = makeIcon (closedPadlockSvg);

    for (auto* row : { &restoreRow, &lockRow })
    {
        row->alignment = 1;
        row->gap = 6;
        addAndMakeVisible (row);
    }

    auto& allLines = getRestoreButton();
    allLines.setButtonText ("All lines");
    allLines.changeWidthToFitText();
    restoreRow.addAndMakeVisible (restoreLabel);
    restoreRow.addAndMakeVisible (allLines);
    lockRow.addAndMakeVisible (lockLabel);

    for (int line = 0; line < numLines; ++line)
    {
        const auto text = "Line " + juce::String (line + 1);

        auto* restore = restoreButtons.add (new juce::TextButton (text));
        restore->changeWidthToFitText (20);
        restore->addListener (this);
        restoreRow.addAndMakeVisible (restore);

        auto* lock = lockButtons.add (new TextButtonWithIcon());
        lock->setButtonText (text);
        lock->setClickingTogglesState (true);

        if (offIcon != nullptr)
            lock->setIcon (*offIcon, onIcon.get());

        lock->changeWidthToFitText (20);
        lock->setToggleState (processor.getPadlock (line).isLocked(), juce::dontSendNotification);
        lock->addListener (this);
        lockRow.addAndMakeVisible (lock);

        processor.getPadlock (line).addListener (this);
    }
}

CorvanePresetBrowser::~CorvanePresetBrowser()
{
    // The padlocks belong to the processor, which outlives this window.
    for (int line = 0; line < numLines; ++line)
        processor.getPadlock (line).removeListener (this);

    for (auto* button : restoreButtons)
        button->removeListener (this);

    for (auto* button : lockButtons)
        button->removeListener (this);
}

void CorvanePresetBrowser::buttonClicked (juce::Button* button)
{
    if (const auto line = restoreButtons.indexOf (dynamic_cast<juce::TextButton*> (button)); line >= 0)
        processor.applyPreset (nullptr, processor.getLineDefaultPreset (line));
    else if (const auto locked = lockButtons.indexOf (dynamic_cast<TextButtonWithIcon*> (button)); locked >= 0)
        processor.getPadlock (locked).toggle();
    else
        PresetBrowserWindow::buttonClicked (button);
}

void CorvanePresetBrowser::padlockChanged (ParameterPadlock* padlock)
{
    for (int line = 0; line < numLines; ++line)
        if (padlock == &processor.getPadlock (line))
            lockButtons[line]->setToggleState (padlock->isLocked(), juce::dontSendNotification);
}

void CorvanePresetBrowser::resized()
{
    PresetBrowserWindow::resized();

    const auto content = getContentBounds();
    restoreRow.setTopLeftPosition (content.getX(), getOkRow().getY());
    lockRow.setTopLeftPosition (restoreRow.getRight() + 30, getOkRow().getY());
}

void CorvanePresetBrowser::sizeLabel (juce::Label& label)
{
    const auto font = getLookAndFeel().getLabelFont (label);

    if (label.getFont() != font)
        label.setFont (font);

    const auto border = label.getBorderSize();
    label.setSize (juce::roundToInt (font.getStringWidthFloat (label.getText())) + border.getLeftAndRight(),
                   juce::roundToInt (font.getHeight()));
}

void CorvanePresetBrowser::lookAndFeelChanged()
{
    PresetBrowserWindow::lookAndFeelChanged();

    sizeLabel (restoreLabel);
    sizeLabel (lockLabel);

    for (auto* lock : lockButtons)
        lock->changeWidthToFitText (20);

    resized();
}
