#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

struct SetupEntry;

/** The tags of a library's setups, collected once per listing (off the message thread, with the listing)
    in one pass, and the few of them that get a chip above the list. */
namespace LibraryTags
{
struct Use
{
    juce::String tag; // spelled as first met
    int setups = 0;   // how many setups carry it
};
using Uses = std::shared_ptr<const std::vector<Use>>;

/** Every tag in use, each once (compared without case), with how many setups carry it, in the order first
    met: one pass over the list's tags, hashed without case. */
std::vector<Use> collect(const std::vector<SetupEntry>& list);

/** A row of chips stays a row one can read: the tags carried by the most setups, at most `most` of them,
    in natural order, with `keep` (the tag shown now) among them when it is in use. */
juce::StringArray forChips(const std::vector<Use>& uses, size_t most, const juce::String& keep = {});
constexpr size_t maxChips = 40;
} // namespace LibraryTags
