#include "AlertWindow.h"

#include "DefaultLookAndFeel.h"

namespace
{
    /** Pixels kept free between an alert and each edge of the area it is shown in. */
    constexpr int areaMargin = 20;

    /** The text broken into lines no wider than the width: each line of the text on its own,
        broken after a space or a path separator where it has one, else (a name longer than
        a line) between two characters.
    */
    juce::StringArray breakIntoLines (const juce::String& text, const juce::Font& font, float maxWidth)
    {
        juce::StringArray lines;

        for (const auto& paragraph : juce::StringArray::fromLines (text))
        {
            juce::GlyphArrangement glyphs;
            glyphs.addLineOfText (font, paragraph, 0.0f, 0.0f);
            const auto numGlyphs = glyphs.getNumGlyphs();

            const auto textOf = [&glyphs] (int start, int end)
            {
                juce::String s;

                for (int i = start; i < end; ++i)
                    s += juce::String::charToString (glyphs.getGlyph (i).getCharacter());

                return s.trimEnd();
            };

            int start = 0, lastBreak = -1;

            for (int i = 0; i < numGlyphs; ++i)
            {
                const auto& glyph = glyphs.getGlyph (i);

                // A space may hang past the edge: it is dropped from the line's end.
                if (i > start && ! glyph.isWhitespace() && glyph.getRight() - glyphs.getGlyph (start).getLeft() > maxWidth)
                {
                    const auto end = lastBreak >= start ? lastBreak + 1 : i;
                    lines.add (textOf (start, end));

                    for (start = end; start < numGlyphs && glyphs.getGlyph (start).isWhitespace();)
                        ++start;

                    lastBreak = -1;
                    i = start - 1;
                    continue;
                }

                const auto c = glyph.getCharacter();

                if (glyph.isWhitespace() || c == '/' || c == '\\')
                    lastBreak = i;
            }

            if (start < numGlyphs || numGlyphs == 0)
                lines.add (textOf (start, numGlyphs));
        }

        return lines;
    }
}

namespace Halvorn
{

void AlertWindow::MessageLabel::paint (juce::Graphics& g)
{
    if (lines.isEmpty())
    {
        juce::Label::paint (g);
        return;
    }

    g.fillAll (findColour (backgroundColourId));
    g.setColour (findColour (textColourId).withMultipliedAlpha (isEnabled() ? 1.0f : 0.5f));
    g.setFont (getFont());

    // The lines were measured to fit: drawn one by one, nothing breaks or shrinks them again.
    const auto area = getBorderSize().subtractedFrom (getLocalBounds()).toFloat();
    const auto lineHeight = getFont().getHeight();
    auto row = area.withSizeKeepingCentre (area.getWidth(), lineHeight * (float) lines.size()).withHeight (lineHeight);

    for (const auto& line : lines)
    {
        g.drawText (line, row, getJustificationType().getOnlyHorizontalFlags() | juce::Justification::verticallyCentred, false);
        row.translate (0.0f, lineHeight);
    }

    g.setColour (findColour (outlineColourId));
    g.drawRect (getLocalBounds());
}

AlertWindow::AlertWindow()
{
    buttonRow.vertical = false;
    buttonRow.alignment = 2;
    buttonRow.gap = 6;
    addAndMakeVisible (buttonRow);

    messageLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (messageLabel);
}

AlertWindow::~AlertWindow()
{
    // The row watches its children; let it go before the buttons do.
    buttonRow.removeAllChildren();
}

std::unique_ptr<AlertWindow> AlertWindow::create (const juce::String& title, const juce::String& message, Caller* caller,
                                                  std::initializer_list<std::pair<const char*, int>> buttonsToAdd)
{
    auto alert = std::make_unique<AlertWindow>();
    alert->setTitle (title);
    alert->setMessage (message);
    alert->updateSize();

    for (auto& b : buttonsToAdd)
        alert->addButton (b.first, b.second);

    alert->caller = caller;
    return alert;
}

std::unique_ptr<AlertWindow> AlertWindow::createOk (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "OK", ok } });
}

std::unique_ptr<AlertWindow> AlertWindow::createYesNo (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Yes", yes }, { "No", no } });
}

std::unique_ptr<AlertWindow> AlertWindow::createYesCancel (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Yes", yes }, { "Cancel", cancel } });
}

std::unique_ptr<AlertWindow> AlertWindow::createSaveOverwriteDiscard (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Save as", saveAs }, { "Overwrite", overwrite }, { "Discard", discard } });
}

std::unique_ptr<AlertWindow> AlertWindow::createReplaceCancel (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Replace", replace }, { "Cancel", cancel } });
}

std::unique_ptr<AlertWindow> AlertWindow::createOverwriteQuestion (const juce::String& title, const juce::String& kind,
                                                                   const juce::File& file, Caller* c)
{
    auto alert = createYesCancel (title, "Do you want to overwrite " + kind + " '" + file.getFileNameWithoutExtension() + "' ?", c);
    alert->userData.add (file.getFullPathName());
    return alert;
}

void AlertWindow::addButton (const juce::String& text, int result)
{
    auto* button = buttons.add (new juce::TextButton (text));
    button->addListener (this);
    resultCodes.add (result);

    // In the row first, so the width is measured with the alert's own look-and-feel.
    buttonRow.addAndMakeVisible (button);
    button->changeWidthToFitText (22);

    updateSize();
    resized();
}

void AlertWindow::setMessage (const juce::String& message)
{
    messageLabel.setText (message, juce::dontSendNotification);
}

void AlertWindow::updateSize()
{
    const auto font = messageLabel.getFont();
    const auto message = messageLabel.getText();
    auto width = juce::jmax ((int) font.getStringWidthFloat (message), buttonRow.getWidth());
    auto height = (int) font.getHeight() + buttonRow.getHeight() + 10;
    messageLabel.lines.clear();

    if (auto* desktop = getDesktop())
    {
        const auto frame = getFrameSize();
        const auto area = desktop->getModalArea().reduced (areaMargin);
        const auto border = messageLabel.getBorderSize();

        if (width > area.getWidth() - frame.x || message.containsAnyOf ("\r\n"))
        {
            const auto maxWidth = (float) (area.getWidth() - frame.x - border.getLeftAndRight());
            const auto maxHeight = (float) (area.getHeight() - frame.y - buttonRow.getHeight() - 10 - border.getTopAndBottom());
            const auto maxLines = juce::jmax (1, (int) (maxHeight / font.getHeight()));
            auto lines = breakIntoLines (message, font, maxWidth);

            if (lines.size() > maxLines)
            {
                lines.removeRange (maxLines, lines.size());
                auto& last = lines.getReference (maxLines - 1);

                while (last.isNotEmpty() && font.getStringWidthFloat (last + "...") > maxWidth)
                    last = last.dropLastCharacters (1);

                last << "...";
            }

            auto widest = 0.0f;

            for (const auto& line : lines)
                widest = juce::jmax (widest, font.getStringWidthFloat (line));

            width = juce::jmax ((int) std::ceil (widest) + border.getLeftAndRight(), buttonRow.getWidth());
            height = (int) std::ceil (font.getHeight() * (float) lines.size()) + border.getTopAndBottom()
                       + buttonRow.getHeight() + 10;
            messageLabel.lines = lines;
        }
    }

    setContentSize (width, height);
    messageLabel.repaint();
}

bool AlertWindow::dimsBackground()
{
    return true;
}

void AlertWindow::buttonClicked (juce::Button* button)
{
    WindowComponent::buttonClicked (button);

    auto index = buttons.indexOf (dynamic_cast<juce::TextButton*> (button));

    if (index < 0)
        return;

    close();

    if (caller != nullptr)
        caller->alertResult (this, index < resultCodes.size() ? resultCodes[index] : 0);
}

bool AlertWindow::keyPressed (const juce::KeyPress& key)
{
    auto* button = key.isKeyCode (juce::KeyPress::returnKey) ? buttons.getFirst()
                 : key.isKeyCode (juce::KeyPress::escapeKey) ? getCancelButton()
                 : nullptr;

    // Escape on an alert that has nothing to answer no with (Save as, Overwrite, Discard)
    // closes it unanswered, as its close button does: nothing is saved, replaced or lost.
    if (button == nullptr)
        return WindowComponent::keyPressed (key);

    button->triggerClick();
    return true;
}

juce::TextButton* AlertWindow::getCancelButton() const
{
    for (int i = 0; i < buttons.size(); ++i)
        if (resultCodes[i] == cancel || resultCodes[i] == no)
            return buttons[i];

    return buttons.size() == 1 ? buttons.getFirst() : nullptr;
}

void AlertWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        messageLabel.setFont (lf->getStandardFont());
        updateSize();
    }
}

void AlertWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentBounds();
    auto strip = area.removeFromBottom (buttonRow.getHeight());
    area.removeFromBottom (10);

    buttonRow.setTopLeftPosition (strip.getRight() - buttonRow.getWidth(), strip.getY());
    messageLabel.setBounds (area);
    repaint();
}

void AlertWindow::childBoundsChanged (juce::Component*)
{
    resized();
}

} // namespace Halvorn
