#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** A value screen readers read and cannot change: the text a function gives at the moment it is asked. */
class ReadOnlyTextValue : public juce::AccessibilityTextValueInterface
{
public:
    explicit ReadOnlyTextValue(std::function<juce::String()> text) : current(std::move(text)) {}
    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return current(); }
    void setValueAsString(const juce::String&) override {}

private:
    std::function<juce::String()> current;
};
