#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** A whole number written as text by a person or a file (digits, an optional minus, spaces around), within
    limits; nothing for anything else ("150%", "1e2", a number too long to be meant). */
inline std::optional<int> wholeNumber(const juce::String& text, int low, int high)
{
    const auto t = text.trim();
    const auto digits = t.startsWithChar('-') ? t.substring(1) : t;
    if (digits.isEmpty() || digits.length() > 4 || !digits.containsOnly("0123456789"))
        return std::nullopt;
    const int v = t.getIntValue();
    if (v < low || v > high)
        return std::nullopt;
    return v;
}
