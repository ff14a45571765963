#include "LibraryTags.h"

#include "SetupEntry.h"

#include <algorithm>
#include <unordered_map>

namespace LibraryTags
{
namespace
{
/** Lower case for comparing tags: plain arithmetic for ASCII, which nearly every tag is, the toolkit's
    (slower) mapping for the rest. */
inline juce::juce_wchar lower(juce::juce_wchar c)
{
    return c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : juce::CharacterFunctions::toLowerCase(c);
}

struct CaselessHash
{
    size_t operator()(const juce::String& s) const
    {
        size_t h = 14695981039346656037ull;
        for (auto p = s.getCharPointer(); !p.isEmpty(); ++p)
            h = (h ^ (size_t)lower(*p)) * 1099511628211ull;
        return h;
    }
};

struct CaselessEqual
{
    bool operator()(const juce::String& a, const juce::String& b) const
    {
        for (auto p = a.getCharPointer(), q = b.getCharPointer();; ++p, ++q)
        {
            const auto c = *p, d = *q;
            if (c != d && lower(c) != lower(d))
                return false;
            if (c == 0)
                return true;
        }
    }
};

bool naturally(const juce::String& a, const juce::String& b)
{
    return a.compareNatural(b) < 0;
}
} // namespace

std::vector<Use> collect(const std::vector<SetupEntry>& list)
{
    std::vector<Use> uses;
    std::unordered_map<juce::String, size_t, CaselessHash, CaselessEqual> where;
    where.reserve(list.size());
    for (const auto& e : list)
        for (const auto& t : e.info.tags)
        {
            const auto [at, isNew] = where.try_emplace(t, uses.size());
            if (isNew)
                uses.push_back({t, 0});
            ++uses[at->second].setups;
        }
    return uses;
}

juce::StringArray forChips(const std::vector<Use>& uses, size_t most, const juce::String& keep)
{
    std::vector<const Use*> chosen;
    chosen.reserve(uses.size());
    for (const auto& u : uses)
        chosen.push_back(&u);
    // The most carried first; of equals, the first in natural order, so the row does not change by chance.
    const auto byUse = [](const Use* a, const Use* b)
    {
        return a->setups != b->setups ? a->setups > b->setups : naturally(a->tag, b->tag);
    };
    if (chosen.size() > most)
    {
        std::nth_element(chosen.begin(), chosen.begin() + (std::ptrdiff_t)most, chosen.end(), byUse);
        const auto kept = std::find_if(chosen.begin() + (std::ptrdiff_t)most, chosen.end(),
                                       [&keep](const Use* u) { return u->tag.equalsIgnoreCase(keep); });
        if (keep.isNotEmpty() && kept != chosen.end() && most > 0)
            std::iter_swap(std::max_element(chosen.begin(), chosen.begin() + (std::ptrdiff_t)most, byUse),
                           kept);
        chosen.resize(most);
    }
    std::vector<juce::String> tags;
    for (const auto* u : chosen)
        tags.push_back(u->tag);
    std::sort(tags.begin(), tags.end(), naturally);
    return juce::StringArray(tags.data(), (int)tags.size());
}
} // namespace LibraryTags
