#pragma once

#include "ComponentRow.h"
#include "WindowComponent.h"

#include <memory>

namespace Halvorn
{

/**
    The editor's in-window message box: a title, a message and a row of buttons, each
    carrying a result code that goes to the Caller. Created unshown by one of the
    creators, shown with show(), hidden by its buttons and deleted by its owner.

    The message takes one line where it fits; shown over a Desktop, the alert is never
    wider or higher than the Desktop's modal area less a margin, and a longer message is
    broken into as many lines as it needs. Return presses the first button, Escape the
    one that answers no (Cancel, No, or the only button), else the close button.
*/
class AlertWindow  : public WindowComponent
{
public:
    /** Result codes of the buttons. */
    enum Result
    {
        cancel    = 0,
        no        = 1,
        yes       = 2,
        ok        = 3,
        overwrite = 4,
        saveAs    = 5,
        discard   = 6,
        replace   = 7
    };

    /** Told which button closed an alert. */
    class Caller
    {
    public:
        virtual ~Caller() = default;

        virtual void alertResult (AlertWindow* alert, int result) = 0;
    };

    AlertWindow();
    ~AlertWindow() override;

    static std::unique_ptr<AlertWindow> createOk (const juce::String& title, const juce::String& message, Caller*);
    static std::unique_ptr<AlertWindow> createYesNo (const juce::String& title, const juce::String& message, Caller*);
    static std::unique_ptr<AlertWindow> createYesCancel (const juce::String& title, const juce::String& message, Caller*);
    static std::unique_ptr<AlertWindow> createSaveOverwriteDiscard (const juce::String& title, const juce::String& message, Caller*);
    static std::unique_ptr<AlertWindow> createReplaceCancel (const juce::String& title, const juce::String& message, Caller*);

    /** Asks, with Yes and Cancel, whether to overwrite the file of that kind ("preset", "map");
        the alert keeps the file's full path as its last user value.
    */
    static std::unique_ptr<AlertWindow> createOverwriteQuestion (const juce::String& title, const juce::String& kind,
                                                                 const juce::File& file, Caller*);

    /** Appends a button to the right of the others; pressing it reports the code. */
    void addButton (const juce::String& text, int result);

    /** Sizes the window to the message and the buttons, within the Desktop it is shown over. */
    void updateSize();

    void setMessage (const juce::String& message);
    juce::Label& getMessageLabel() noexcept                 { return messageLabel; }
    ComponentRow& getButtonRow() noexcept                   { return buttonRow; }
    juce::TextButton* getButton (int index) const           { return buttons[index]; }
    int getNumButtons() const noexcept                      { return buttons.size(); }

    /** A copy of the value the asker stored, or void past the end. */
    juce::var getUserValue (int index) const                { return userData[index]; }

    void setCaller (Caller* newCaller) noexcept             { caller = newCaller; }

    bool dimsBackground() override;
    void buttonClicked (juce::Button*) override;
    bool keyPressed (const juce::KeyPress&) override;
    void lookAndFeelChanged() override;
    void resized() override;
    void childBoundsChanged (juce::Component*) override;

    /** Values the asker wants back in its result handler; the alert never reads them. */
    juce::Array<juce::var> userData;

private:
    /** Keeps the message as its text, and draws it broken into the lines the alert was
        sized for; with no lines it is drawn as any label draws its text.
    */
    struct MessageLabel  : public juce::Label
    {
        void paint (juce::Graphics&) override;

        juce::StringArray lines;
    };

    static std::unique_ptr<AlertWindow> create (const juce::String& title, const juce::String& message, Caller*,
                                                std::initializer_list<std::pair<const char*, int>> buttonsToAdd);

    juce::TextButton* getCancelButton() const;

    ComponentRow buttonRow;
    juce::OwnedArray<juce::TextButton> buttons;
    juce::Array<int> resultCodes;
    MessageLabel messageLabel;
    Caller* caller = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AlertWindow)
};

} // namespace Halvorn
