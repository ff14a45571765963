#include "EditorDialogs.h"

namespace
{
juce::TextEditor* firstTextField(const juce::Component& box)
{
    for (auto* child : box.getChildren())
        if (auto* field = dynamic_cast<juce::TextEditor*>(child))
            return field;
    return nullptr;
}

/** Keeps a box where it was placed: a window manager may show a new window at the corner it was made at and
    report it there, after the box had asked to be elsewhere. The box asks again, a few times at most, and
    never against the user dragging it. Goes with the box. */
class KeepPlaced : private juce::ComponentListener
{
public:
    explicit KeepPlaced(juce::Component& box) : placed(box.getBounds()) { box.addComponentListener(this); }

private:
    void componentMovedOrResized(juce::Component& box, bool wasMoved, bool) override
    {
        if (!wasMoved || box.getPosition() == placed.getPosition() ||
            juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown() || ++asked > 3)
            return;
        juce::MessageManager::callAsync(
            [safe = juce::Component::SafePointer<juce::Component>(&box), p = placed]
            {
                if (safe != nullptr)
                    safe->setBounds(p);
            });
    }
    void componentBeingDeleted(juce::Component& box) override
    {
        box.removeComponentListener(this);
        delete this;
    }

    const juce::Rectangle<int> placed;
    int asked = 0;
};
} // namespace

void placeOverOwner(juce::TopLevelWindow& box, juce::Component* owner)
{
    juce::Component* window = owner != nullptr ? owner->getTopLevelComponent() : nullptr;
    if (window == nullptr)
        window = juce::TopLevelWindow::getActiveTopLevelWindow();
    // Nothing active (the keyboard in another program): the first window shown, the editor's own.
    for (int i = 0;
         (window == nullptr || window == &box) && i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
        if (auto* w = juce::TopLevelWindow::getTopLevelWindow(i); w != &box && w->isShowing())
            window = w;
    if (window == nullptr || window == &box)
        return box.centreWithSize(box.getWidth(), box.getHeight());
    const auto centre = window->localPointToGlobal(window->getLocalBounds().getCentre());
    auto bounds = box.getBounds().withCentre(centre);
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForPoint(centre))
        bounds = bounds.constrainedWithin(display->userArea);
    box.setBounds(bounds);
}

void openBoxOverOwner(juce::AlertWindow& box, juce::Component* owner,
                      juce::ModalComponentManager::Callback* answer)
{
    placeOverOwner(box, owner);
    new KeepPlaced(box);
    box.enterModalState(true, answer, true);
    // A window manager shows the box a moment later and hands it the keys only when asked: the box asks to be
    // the active window; its first field takes the keys now where nothing stands between (no window manager),
    // else once the box is active (a TypingBox).
    box.toFront(true);
    if (auto* field = firstTextField(box))
        field->grabKeyboardFocus();
}

juce::TextEditor* TypingBox::firstField() const
{
    return firstTextField(*this);
}

void TypingBox::activeWindowStatusChanged()
{
    if (!isActiveWindow())
        return;
    auto* field = firstField();
    const auto* focused = juce::Component::getCurrentlyFocusedComponent();
    if (field != nullptr &&
        !(isParentOf(focused) && dynamic_cast<const juce::TextEditor*>(focused) != nullptr))
        field->grabKeyboardFocus();
}

juce::AlertWindow* NativeEditorDialogs::okCancelBox(const juce::String& title, const juce::String& question,
                                                    const juce::String& ok)
{
    // Made by the look and feel, as the toolkit's own question boxes are: its keys (Return, Escape and each
    // button's first letter) and what the editor's look gives its boxes.
    return juce::LookAndFeel::getDefaultLookAndFeel().createAlertWindow(
        title, question, ok, "Cancel", {}, juce::MessageBoxIconType::QuestionIcon, 2, nullptr);
}

void NativeEditorDialogs::ask(juce::AlertWindow* box, std::function<void(int)> answer)
{
    openBoxOverOwner(*box, nullptr,
                     juce::ModalCallbackFunction::create([answer = std::move(answer)](int b) { answer(b); }));
}

void NativeEditorDialogs::choose(std::unique_ptr<juce::FileChooser> dialog, int flags, FileAnswer answer)
{
    chooser = std::move(dialog);
    chooser->launchAsync(flags,
                         [answer = std::move(answer)](const juce::FileChooser& c)
                         {
                             const auto result = c.getResult();
                             answer(result == juce::File() ? std::nullopt
                                                           : std::optional<juce::File>(result));
                         });
}

void NativeEditorDialogs::chooseFileToOpen(const juce::String& title, const juce::File& startFolder,
                                           const juce::String& pattern, FileAnswer answer)
{
    choose(std::make_unique<juce::FileChooser>(title, startFolder, pattern, true),
           juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
           std::move(answer));
}

void NativeEditorDialogs::chooseFileToSave(const juce::String& title, const juce::File& proposedFile,
                                           const juce::String& pattern, FileAnswer answer)
{
    choose(std::make_unique<juce::FileChooser>(title, proposedFile, pattern, true),
           juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
               juce::FileBrowserComponent::warnAboutOverwriting,
           std::move(answer));
}

void NativeEditorDialogs::confirmOverwrite(const juce::File& file, YesNoAnswer answer)
{
    ask(okCancelBox("File already exists",
                    "There's already a file called: " + file.getFullPathName() +
                        "\n\nAre you sure you want to overwrite it?",
                    "Overwrite"),
        [answer](int button) { answer(button != 0); });
}

void NativeEditorDialogs::confirmReplaceReadOnly(const juce::File& file, YesNoAnswer answer)
{
    ask(okCancelBox("File is read-only",
                    file.getFullPathName() + " is marked read-only.\n\nDo you want to replace it anyway?",
                    "Replace"),
        [answer](int button) { answer(button != 0); });
}

void NativeEditorDialogs::askYesNo(const juce::String& title, const juce::String& question,
                                   const juce::String& yes, const juce::String& no, YesNoAnswer answer)
{
    auto* box = new juce::AlertWindow(title, question, juce::MessageBoxIconType::QuestionIcon);
    box->addButton(yes, 1, juce::KeyPress(juce::KeyPress::returnKey));
    box->addButton(no, 0, juce::KeyPress(juce::KeyPress::escapeKey));
    ask(box, [answer](int button) { answer(button != 0); });
}

void NativeEditorDialogs::showMessage(const juce::String& title, const juce::String& text)
{
    // "Keyboard Problem", "File Problem": a problem is shown with the warning sign, anything else as news.
    const auto icon = title.endsWith("Problem") ? juce::MessageBoxIconType::WarningIcon
                                                : juce::MessageBoxIconType::InfoIcon;
    // Made by the look and feel, as the toolkit's own message boxes are.
    ask(juce::LookAndFeel::getDefaultLookAndFeel().createAlertWindow(title, text, "ok", {}, {}, icon, 1,
                                                                     nullptr),
        [](int) {});
}

void NativeEditorDialogs::askBeforeClosing(const juce::String& title, const juce::String& what,
                                           bool offerSend, std::function<void(CloseChoice)> answer)
{
    auto* box =
        new juce::AlertWindow(title, what + "\n\nWhat should happen to them before the editor closes?",
                              juce::MessageBoxIconType::QuestionIcon);
    if (offerSend)
        box->addButton("Send", 1);
    box->addButton("Save...", 2);
    // Ctrl+D (Cmd+D on a Mac) is the usual key for not keeping changes.
    box->addButton("Discard", 3, juce::KeyPress('d', juce::ModifierKeys::commandModifier, 0));
    box->addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    ask(box,
        [answer](int button)
        {
            switch (button)
            {
            case 1:
                return answer(CloseChoice::send);
            case 2:
                return answer(CloseChoice::save);
            case 3:
                return answer(CloseChoice::discard);
            default:
                return answer(CloseChoice::cancel);
            }
        });
}
