#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The row of tag chips above the library's list: "All", then a chip a tag, the tag shown lit; scrolled
    sideways when the chips are wider than the row. A click says which tag it chose; what it narrows is
    the caller's. */
class TagChipRow : public juce::Viewport
{
public:
    /** The colour of a chosen chip; the others take the list's pill colours. */
    enum ColourIds
    {
        chipOnColourId = 0x7e00c01
    };

    TagChipRow();

    /** Chips for these tags (made anew only when the tags changed), the chosen one ("" for All) lit. */
    void show(const juce::StringArray& tags, const juce::String& chosen);
    /** Called with the tag of the chip clicked, "" for All; it may show other tags, and so delete the chip.
     */
    std::function<void(juce::String tag)> onChosen;
    /** The chip of a tag ("" for All), or null. */
    juce::Button* chip(const juce::String& tag);

    /** A toggle that narrows the list, as a chip is coloured: blue while on, light while off. */
    static void setChipColours(juce::Button& b);

    void resized() override;

private:
    void rebuild(const juce::StringArray& newTags);
    void layOut();

    juce::Component row;
    juce::OwnedArray<juce::TextButton> chips;
    juce::StringArray tags;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TagChipRow)
};
