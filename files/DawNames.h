#pragma once

#include "SafeFileWriter.h"
#include "model/SentMessage.h"

#include <optional>

/** The names a DAW shows for what the keyboard sends, from a configuration: the user's name of each control
    (or the control's own) on every note, controller and parameter it sends, written in the files DAWs read:
    a MIDI Name Document (.midnam, one channel name set per channel in use), instrument definitions (.ins),
    REAPER's note/CC name map (.txt), and a table of every control (.csv). The instrument is named by the
    setup's title or the file's name. */
class DawNames
{
public:
    enum class Format
    {
        midnam,
        ins,
        reaper,
        csv
    };
    /** The format of a name as the tool takes it ("midnam", "ins", "reaper", "csv"). */
    static std::optional<Format> formatNamed(const juce::String& name);
    /** A name on one line: control characters and line breaks become spaces, runs of spaces one. */
    static juce::String oneLine(const juce::String& name);
    /** The file name extension of a format, without the dot. */
    static const char* extension(Format format);

    DawNames(const SettingsState& state, const juce::String& instrument);

    /** The whole file in that format, UTF-8. */
    std::string text(Format format) const;
    /** Where controls with different names send one number (on one channel or on several, which the formats
        without channels cannot tell apart): the names are joined on that number, and here is one line for
        each such number, naming the controls. */
    juce::StringArray merged() const;
    /** Writes the file safely; the old file keeps every byte unless the new one is complete. */
    FileWriteResult write(Format format, const juce::File& file, ReadOnlyFiles readOnly) const;

    /** A control that sends something a DAW can name. */
    struct Entry
    {
        int id;
        juce::String name;    // the user's name, else the control's own, on one line
        juce::String control; // the control's own name
        SentMessage sent;
    };
    const std::vector<Entry>& entries() const { return sends; }

private:
    std::string midnam() const;
    std::string ins() const;
    std::string reaper() const;
    std::string csv() const;
    /** The names on one number of one kind, on any channel, joined; and the controls behind them. */
    struct Joined
    {
        juce::String names;
        juce::StringArray controls;
        bool mixed = false; // different names
    };
    std::map<int, Joined> withoutChannels(SentMessage::Kind kind) const;

    const SettingsState state;
    const juce::String instrument;
    std::vector<Entry> sends;
};
