#pragma once

#include "../model/KbdSettingsStore.h"
#include "SafeFileWriter.h"
#include "SetupInfo.h"

#include <juce_core/juce_core.h>

/** What came of reading a settings file. */
struct SettingsReadResult
{
    /** True when the file was a readable settings document and was applied to the store. */
    bool ok = false;
    /** Why the file could not be used, when it could not. */
    juce::String message;
    /** Elements left out because they could not be sent to the keyboard safely, each with its reason. */
    juce::StringArray skipped;

    int skippedCount() const { return skipped.size(); }
};

/** One settings document taken apart, before it touches any store. */
struct SettingsDocument
{
    struct Item
    {
        int id;
        ItemConfig config;
        juce::String name; // the user's name for the control; empty: none
    };
    std::vector<Item> items;                   // in document order
    std::vector<std::pair<int, int>> globals;  // (slot, value), in document order, slots 0..11 only
    juce::StringArray skipped;                 // elements left out, each with its reason
    std::vector<int> skippedControls;          // the ids of the items among them whose id could be read
    bool hasItems = false, hasGlobals = false; // whether the "Items" and "Globals" elements exist
    SetupInfo setup;                           // title, description and tags, when the file has them

    /** Writes the document into a configuration, element by element, as loading does. */
    void applyTo(SettingsState& state) const;
};

/** Builds the settings document of a configuration, with a setup's title, description and tags after
    everything else when it has them. */
std::unique_ptr<juce::XmlElement> createSettingsXml(const SettingsState& state, const SetupInfo& setup = {});

/** Saves the store's configuration into a settings file. */
FileWriteResult writeSettingsFile(const KbdSettingsStore& store, const juce::File& file,
                                  ReadOnlyFiles readOnly = ReadOnlyFiles::refuse);

/** Takes a parsed settings document apart, skipping what cannot reach the keyboard safely. */
SettingsDocument parseSettingsXml(const juce::XmlElement& root);

/** Reads a settings file (whatever its root is named) without applying it. */
SettingsReadResult readSettingsDocument(const juce::File& file, SettingsDocument& document);
/** The same for a file's bytes already read through the file gate. */
SettingsReadResult readSettingsBytes(const void* data, size_t size, SettingsDocument& document);

/** Loads a settings file into the store, as one step. A file that cannot be used changes nothing. */
SettingsReadResult readSettingsFile(KbdSettingsStore& store, const juce::File& file);

/** Writes an XML tree with the declaration and UTF-8 encoding that settings files and charts use. */
FileWriteResult writeXmlDocument(const juce::XmlElement& root, const juce::File& file,
                                 ReadOnlyFiles readOnly = ReadOnlyFiles::refuse);

/** Longest name a control can be given. */
constexpr int maxControlNameLength = 32;
/** True for a name a control can carry: plain text (no control characters) of 1 to 32 characters. */
bool isPlainControlName(const juce::String& name);
/** The control's name as the user gave it, else its own display name, else its id in decimal. */
juce::String controlLabel(const SettingsState& state, int id);

/** Every problem of a loaded settings document, in words for the user, controls named by their names:
    elements skipped, unknown modes or channel codes, controls the keyboard does not have, controls missing
    from the file, keyboard-wide values outside their choices. The same list for the editor's Load and for
    'quillet check'. */
juce::StringArray settingsProblems(const SettingsDocument& document, const SettingsReadResult& result,
                                   const SettingsState& loaded);

/** True for the slots that are sent to the keyboard and so must hold a data byte. */
bool isSentGlobal(int slot);
