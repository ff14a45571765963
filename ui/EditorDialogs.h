#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** The dialogs and message boxes the editor shows, behind one seam so that tests can answer them. */
class EditorDialogs
{
public:
    virtual ~EditorDialogs() = default;

    /** Asks for a file to open, starting in the given folder; nothing when the user cancels. */
    virtual std::optional<juce::File> chooseFileToOpen(const juce::String& title,
                                                       const juce::File& startFolder,
                                                       const juce::String& pattern) = 0;
    /** Asks for a file to save, proposing the given file's name in its folder and confirming before an
        existing file is overwritten; nothing on cancel. */
    virtual std::optional<juce::File> chooseFileToSave(const juce::String& title,
                                                       const juce::File& proposedFile,
                                                       const juce::String& pattern) = 0;
    /** Asks whether to replace an existing file. */
    virtual bool confirmOverwrite(const juce::File& file) = 0;
    /** Asks whether to replace a file that is marked read-only. */
    virtual bool confirmReplaceReadOnly(const juce::File& file) = 0;
    /** A modal box with the information icon and the single button "ok". Nothing waits for it to be
        dismissed: it may return while the box is still up. */
    virtual void showMessage(const juce::String& title, const juce::String& text) = 0;

    enum class CloseChoice
    {
        send,
        save,
        discard,
        cancel
    };
    /** Asks what to do with changes that were not sent or saved before the window closes. */
    virtual CloseChoice askBeforeClosing(const juce::String& what) = 0;
};

/** The platform's native file dialogs and the toolkit's modal message boxes. A notice is shown without a
    modal loop of its own (such a loop wakes the program every millisecond while the box is up); the
    questions wait for their answer. */
class NativeEditorDialogs : public EditorDialogs
{
public:
    std::optional<juce::File> chooseFileToOpen(const juce::String& title, const juce::File& startFolder,
                                               const juce::String& pattern) override;
    std::optional<juce::File> chooseFileToSave(const juce::String& title, const juce::File& proposedFile,
                                               const juce::String& pattern) override;
    bool confirmOverwrite(const juce::File& file) override;
    bool confirmReplaceReadOnly(const juce::File& file) override;
    void showMessage(const juce::String& title, const juce::String& text) override;
    CloseChoice askBeforeClosing(const juce::String& what) override;
};
