#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <ostream>
#include <vector>

/** The tool's commands that talk to the keyboard: the same scan, read-out and verified send as the editor. */
namespace QuilletLinkCommands
{
/** Where the keyboard is reached: the system's MIDI ports, or the built-in emulator over virtual ports with
    the given trouble (see KeyboardEmulator::applyTrouble). */
struct LinkOptions
{
    bool emulated = false;
    juce::String trouble;
    /** A settings file the emulated keyboard starts from (factory defaults when it does not exist) and
        holds its configuration in when the command ends; none when empty. */
    juce::String stateFile;
};

/** An option of the emulated keyboard, given as --emulated-keyboard=NAME=VALUE,...: the options the
    parser takes, which the help lists. */
struct EmulatedKeyboardOption
{
    const char* name;
    const char* value; // what the value is, as the help names it ("N", "FILE"); empty for none
    const char* help;  // what the emulated keyboard then does
};

/** Every option the emulated keyboard takes, in the order the help lists them. */
const std::vector<EmulatedKeyboardOption>& emulatedKeyboardOptions();
/** An option as it is written: "slow=MS", "no-identity". */
juce::String optionForm(const EmulatedKeyboardOption& option);

/** Takes "--emulated-keyboard[=TROUBLE,...]" (TROUBLE may also be state=FILE) out of the arguments.
    Nothing when an option is not known (the message says which). */
std::optional<LinkOptions> takeLinkOptions(juce::StringArray& args, juce::String& problem);

int listPorts(const LinkOptions& options, std::ostream& out, std::ostream& err);
int readKeyboard(const juce::File& outFile, const LinkOptions& options, std::ostream& out, std::ostream& err);
int sendToKeyboard(const juce::File& inFile, const LinkOptions& options, std::ostream& out,
                   std::ostream& err);
/** Compares a settings file with what the keyboard holds, read afresh. */
int diffWithKeyboard(const juce::File& inFile, bool tsv, const LinkOptions& options, std::ostream& out,
                     std::ostream& err);
} // namespace QuilletLinkCommands
