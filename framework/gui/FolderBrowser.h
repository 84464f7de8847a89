#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/**
    The toolkit's file browser, for desktops without a chooser of their own: the shown
    folder with a button to its parent, its list, and the file box.

    It lists folders by their bytes rather than with JUCE's directory iterator, which writes
    past its buffer on a name that is not UTF-8. Such a name is shown with its bytes escaped
    and can neither be chosen nor opened. Names in the list and in the file box are names in
    the shown folder, whatever their first character.
*/
class FolderBrowser  : public juce::Component,
                       private juce::ListBoxModel,
                       private juce::TextEditor::Listener
{
public:
    /** Flags are juce::FileBrowserComponent's; patterns are wildcards such as "*.cvprst". */
    FolderBrowser (int flags, const juce::String& patterns, const juce::File& initialFile);
    ~FolderBrowser() override;

    /** Shows the folder and lists it again. */
    void setFolder (const juce::File& folder);
    const juce::File& getFolder() const noexcept        { return folder; }

    /** The box where the user types a name, or sees the one clicked. */
    juce::TextEditor& getFileBox() noexcept             { return fileBox; }

    /** The file the browser answers with: the file box's name in the shown folder, or the
        shown folder itself when folders are chosen and the box is empty.
    */
    juce::File getChosenFile() const;

    /** The file of the list's selected row when its name can be read, else none. */
    juce::File getClickedFile() const;

    /** True when the chosen file can be taken: a file or a name to save, or a folder. */
    bool isChosenFileValid() const;

    /** The row of a name as the list shows it, or -1. */
    int findRow (const juce::String& shownName) const;
    juce::ListBox& getList() noexcept                   { return list; }

    /** Opens a row as a double click does: a folder is shown, a file is the answer. A name
        that cannot be read is neither.
    */
    void open (int row);

    /** Called when the choice changes, when a file is double-clicked or typed with Return, and
        when Escape is pressed in the file box.
    */
    std::function<void()> onChange, onChosen, onCancelled;

    void resized() override;

private:
    struct Row
    {
        juce::String shown;
        std::optional<juce::String> name;
        bool isFolder = false;
    };

    bool isShownFile (const juce::String& name) const;

    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics&, int width, int height, bool selected) override;
    void selectedRowsChanged (int lastRowSelected) override;
    void listBoxItemDoubleClicked (int row, const juce::MouseEvent&) override;
    void returnKeyPressed (int row) override;
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;

    const int flags;
    juce::StringArray patterns;
    juce::File folder;
    std::vector<Row> rows;
    juce::Label folderLabel, fileLabel { {}, "file:" };
    std::unique_ptr<juce::Button> upButton;
    juce::ListBox list;
    juce::TextEditor fileBox;

    JUCE_DECLARE_NON_COPYABLE (FolderBrowser)
};
