#include "SetupInfoBox.h"

#include "EditorDialogs.h"

void SetupInfoBox::askTitle(juce::Component& owner, const juce::String& heading, const juce::String& text,
                            const juce::String& initial, const juce::String& okText,
                            std::function<void(juce::String)> answer)
{
    auto* box = new TypingBox(heading, text, juce::MessageBoxIconType::NoIcon, &owner);
    box->addTextEditor("title", initial);
    box->getTextEditor("title")->setInputRestrictions(SetupInfo::maxTitleLength);
    box->addButton(okText, 1, juce::KeyPress(juce::KeyPress::returnKey));
    box->addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    // Typing replaces the proposed title.
    box->getTextEditor("title")->setSelectAllWhenFocused(true);
    // The toolkit deletes the box only after its answer has been read here.
    openBoxOverOwner(*box, &owner,
                     juce::ModalCallbackFunction::create(
                         [box, answer, safe = juce::Component::SafePointer<juce::Component>(&owner)](int b)
                         {
                             if (safe != nullptr && b != 0)
                                 answer(box->getTextEditorContents("title"));
                         }));
}

void SetupInfoBox::editInfo(juce::Component& owner, const juce::String& fileName, const SetupInfo& info,
                            std::function<void(const SetupInfo&)> answer)
{
    auto* box = new TypingBox("Title and Tags", fileName, juce::MessageBoxIconType::NoIcon, &owner);
    box->addTextEditor("title", info.title, "Title:");
    box->getTextEditor("title")->setInputRestrictions(SetupInfo::maxTitleLength);
    box->addTextEditor("tags", info.tags.joinIntoString(", "), "Tags, separated by commas:");
    // The description takes several lines, which a box's own text fields do not: it is a field of its own,
    // kept alive by the answer, which the toolkit deletes after the box.
    auto description = std::make_shared<juce::TextEditor>("Description:");
    description->setMultiLine(true, true);
    description->setReturnKeyStartsNewLine(true);
    description->setScrollbarsShown(true);
    description->setText(info.description, false);
    description->setSize(320, 84);
    box->addCustomComponent(description.get());
    box->addButton("OK", 1);
    box->addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    openBoxOverOwner(
        *box, &owner,
        juce::ModalCallbackFunction::create(
            [box, description, answer, safe = juce::Component::SafePointer<juce::Component>(&owner)](int b)
            {
                if (safe == nullptr || b == 0)
                    return;
                SetupInfo edited;
                edited.title = box->getTextEditorContents("title");
                edited.tags = SetupInfo::tagsFromText(box->getTextEditorContents("tags"));
                edited.description = description->getText();
                answer(edited);
            }));
}
