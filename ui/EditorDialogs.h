#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <optional>

/** Puts a box over the middle of the window its owner sits in, within that window's screen; with no owner (or
    one not on the screen), over the window in front. Boxes are placed before they open: a window manager
    leaves a window where it asks to be, and a box it is not told of would open far from the window it asks
    about. */
void placeOverOwner(juce::TopLevelWindow& box, juce::Component* owner);

/** A box with text fields, whose first field takes the keys when the box becomes the active window and no
   field of it has them: a window manager may activate a new window only after it has opened, too late for a
   field to take the keys then. */
class TypingBox : public juce::AlertWindow
{
public:
    using juce::AlertWindow::AlertWindow;

    /** The first text field added, or nothing. */
    juce::TextEditor* firstField() const;

private:
    void activeWindowStatusChanged() override;
};

/** Opens a box placed over its owner's window, in front and modal, its first text field (if any) given the
    keyboard: what is typed at once goes into it. The box deletes itself once answered. */
void openBoxOverOwner(juce::AlertWindow& box, juce::Component* owner,
                      juce::ModalComponentManager::Callback* answer);

/** The dialogs and message boxes the editor shows, behind one seam so that tests can answer them. Every one
    returns at once; a question's answer comes to its callback, on the message thread, once given (at once,
    when a test gives it). */
class EditorDialogs
{
public:
    virtual ~EditorDialogs() = default;

    using FileAnswer = std::function<void(std::optional<juce::File>)>;
    using YesNoAnswer = std::function<void(bool)>;

    /** Asks for a file to open, starting in the given folder; nothing when the user cancels. */
    virtual void chooseFileToOpen(const juce::String& title, const juce::File& startFolder,
                                  const juce::String& pattern, FileAnswer answer) = 0;
    /** Asks for a file to save, proposing the given file's name in its folder and confirming before an
        existing file is overwritten; nothing on cancel. */
    virtual void chooseFileToSave(const juce::String& title, const juce::File& proposedFile,
                                  const juce::String& pattern, FileAnswer answer) = 0;
    /** Asks whether to replace an existing file. */
    virtual void confirmOverwrite(const juce::File& file, YesNoAnswer answer) = 0;
    /** Asks whether to replace a file that is marked read-only. */
    virtual void confirmReplaceReadOnly(const juce::File& file, YesNoAnswer answer) = 0;
    /** Asks a question with two answers, named by yes and no; no is also the answer to Escape. */
    virtual void askYesNo(const juce::String& title, const juce::String& question, const juce::String& yes,
                          const juce::String& no, YesNoAnswer answer) = 0;
    /** A modal box with the single button "ok": the warning icon when its title names a problem, else the
        information icon. */
    virtual void showMessage(const juce::String& title, const juce::String& text) = 0;

    enum class CloseChoice
    {
        send,
        save,
        discard,
        cancel
    };
    /** Asks what to do with changes that were not sent or saved before the window closes; the title says
        which of the two are at stake. Send is offered only when offerSend (something can be sent). */
    virtual void askBeforeClosing(const juce::String& title, const juce::String& what, bool offerSend,
                                  std::function<void(CloseChoice)> answer) = 0;
};

/** The platform's native file dialogs and the toolkit's modal message boxes, all shown without a modal loop
    of their own: such a loop wakes the program every millisecond while the box is up. */
class NativeEditorDialogs : public EditorDialogs
{
public:
    void chooseFileToOpen(const juce::String& title, const juce::File& startFolder,
                          const juce::String& pattern, FileAnswer answer) override;
    void chooseFileToSave(const juce::String& title, const juce::File& proposedFile,
                          const juce::String& pattern, FileAnswer answer) override;
    void confirmOverwrite(const juce::File& file, YesNoAnswer answer) override;
    void confirmReplaceReadOnly(const juce::File& file, YesNoAnswer answer) override;
    void askYesNo(const juce::String& title, const juce::String& question, const juce::String& yes,
                  const juce::String& no, YesNoAnswer answer) override;
    void showMessage(const juce::String& title, const juce::String& text) override;
    void askBeforeClosing(const juce::String& title, const juce::String& what, bool offerSend,
                          std::function<void(CloseChoice)> answer) override;

private:
    void choose(std::unique_ptr<juce::FileChooser> dialog, int flags, FileAnswer answer);
    static juce::AlertWindow* okCancelBox(const juce::String& title, const juce::String& question,
                                          const juce::String& ok);
    static void ask(juce::AlertWindow* box, std::function<void(int)> answer);

    // The open file dialog: the toolkit needs it alive until it has answered.
    std::unique_ptr<juce::FileChooser> chooser;
};
