#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** A message from hexadecimal text such as "F0 00 6E 31 ... F7". */
inline juce::MidiMessage msg(const char* text)
{
    juce::MemoryBlock bytes;
    bytes.loadFromHexString(text);
    return juce::MidiMessage(bytes.getData(), (int)bytes.getSize());
}

/** A message's bytes as upper-case hexadecimal text, for readable failures. */
inline juce::String hex(const juce::MidiMessage& m)
{
    return juce::String::toHexString(m.getRawData(), m.getRawDataSize()).toUpperCase();
}
