#include "SetupInfo.h"

#include <vector>

namespace
{
const char* const setupTag = "Setup";
const char* const rolesTag = "Roles";

/** Control characters go (line breaks too, unless kept), and the text is cut to its longest. Built in one
    buffer: appending to a toolkit string a character at a time costs the square of the length. */
juce::String plain(const juce::String& text, int maxLength, bool keepLineBreaks)
{
    std::vector<juce::juce_wchar> out;
    // Enough for the longest text after trimming; what is beyond it would be cut anyway.
    const size_t keep = (size_t)maxLength * 2 + 64;
    for (auto p = text.getCharPointer(); !p.isEmpty() && out.size() < keep; ++p)
    {
        const auto c = *p;
        if (c == '\n' && keepLineBreaks)
            out.push_back(c);
        else if (c == '\t')
            out.push_back(' ');
        else if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0))
            out.push_back(c);
    }
    out.push_back(0);
    const juce::String cleaned(juce::CharPointer_UTF32(out.data()));
    return keepLineBreaks ? cleaned.substring(0, maxLength) : cleaned.trim().substring(0, maxLength);
}
} // namespace

juce::StringArray SetupInfo::tagsFromText(const juce::String& text)
{
    juce::StringArray tags;
    for (const auto& part : juce::StringArray::fromTokens(text, ",", ""))
    {
        const auto tag = plain(part, maxTagLength, false).trim();
        if (tag.isNotEmpty() && !tags.contains(tag, true) && tags.size() < maxTags)
            tags.add(tag);
    }
    return tags;
}

SetupInfo SetupInfo::cleaned() const
{
    SetupInfo c;
    c.title = plain(title, maxTitleLength, false);
    c.description = plain(description.replace("\r\n", "\n"), maxDescriptionLength, true).trimEnd();
    c.tags = tagsFromText(tags.joinIntoString(","));
    c.roles = roles;
    return c;
}

SetupInfo SetupInfo::fromXml(const juce::XmlElement& root)
{
    SetupInfo info;
    info.roles = ControlRoles::fromXml(root);
    // The last one counts, as writeInto leaves only one.
    const juce::XmlElement* setup = nullptr;
    for (auto* e : root.getChildWithTagNameIterator(setupTag))
        setup = e;
    if (setup == nullptr)
        return info;
    info.title = setup->getStringAttribute("Title");
    juce::StringArray tagTexts;
    for (auto* e : setup->getChildIterator())
    {
        if (e->hasTagName("Description"))
            info.description = e->getAllSubText();
        else if (e->hasTagName("Tag"))
            tagTexts.add(e->getStringAttribute("Name"));
    }
    // A tag with a comma would come back as two: it is two from the start.
    info.tags = tagsFromText(tagTexts.joinIntoString(","));
    return info.cleaned();
}

void SetupInfo::writeInto(juce::XmlElement& root) const
{
    while (auto* old = root.getChildByName(setupTag))
        root.removeChildElement(old, true);
    const auto c = cleaned();
    if (c.title.isNotEmpty() || c.description.isNotEmpty() || !c.tags.isEmpty())
    {
        auto* setup = root.createNewChildElement(setupTag);
        if (c.title.isNotEmpty())
            setup->setAttribute("Title", c.title);
        if (c.description.isNotEmpty())
            setup->createNewChildElement("Description")->addTextElement(c.description);
        for (const auto& tag : c.tags)
            setup->createNewChildElement("Tag")->setAttribute("Name", tag);
    }
    // The roles after the title and tags: ControlRoles puts its element last.
    if (c.roles)
        c.roles->writeInto(root);
    else
        while (auto* old = root.getChildByName(rolesTag))
            root.removeChildElement(old, true);
}
