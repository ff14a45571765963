#include "ControlRoles.h"

#include "ControlCatalogue.h"

#include <algorithm>

namespace
{
const char* const rolesTag = "Roles";
using A = ControlRole::Action;

/** The host buttons' transport actions, in the buttons' order. */
constexpr A hostButtonActions[] = {A::play, A::stop, A::record, A::loop, A::rewind, A::forward};

std::vector<int> controlsOf(ModeSet set)
{
    std::vector<int> ids;
    for (int id : ControlCatalogue::pictureControls())
        if (ControlCatalogue::modeSetOf(id) == set)
            ids.push_back(id);
    return ids;
}
} // namespace

ControlRoles ControlRoles::defaults()
{
    ControlRoles r;
    // The picture's faders stand left to right in the order of their ids.
    r.assign(controlsOf(ModeSet::slider), A::trackVolume);
    auto knobs = controlsOf(ModeSet::knob);
    knobs.resize(std::min<size_t>(knobs.size(), 8));
    r.assign(knobs, A::deviceParameter);
    const auto host = controlsOf(ModeSet::hostButton);
    for (size_t i = 0; i < host.size() && i < std::size(hostButtonActions); ++i)
        r.set(host[i], {hostButtonActions[i], 0});
    return r;
}

ControlRole ControlRoles::of(int id) const
{
    const auto it = roles.find(id);
    return it != roles.end() ? it->second : ControlRole{};
}

void ControlRoles::set(int id, ControlRole role)
{
    if (!ControlCatalogue::isPictureControl(id))
        return;
    const bool valid = ControlRole::isNumbered(role.action)
                           ? role.index >= 1 && role.index <= ControlRole::maxIndex
                           : role.index == 0;
    if (role.action == A::none)
        roles.erase(id);
    else if (valid)
        roles[id] = role;
}

void ControlRoles::assign(const std::vector<int>& ids, ControlRole::Action action, int first)
{
    const bool numbered = ControlRole::isNumbered(action);
    for (size_t i = 0; i < ids.size(); ++i)
        set(ids[i], {action, numbered ? first + (int)i : 0});
}

void ControlRoles::setFromText(const juce::String& id, const juce::String& key)
{
    // Digits only, and few of them: the toolkit's reading wraps long numbers round to small ones.
    const auto role = ControlRole::fromKey(key);
    if (role && id.isNotEmpty() && id.length() <= 3 && id.containsOnly("0123456789"))
        set(id.getIntValue(), *role);
}

std::optional<ControlRoles> ControlRoles::fromXml(const juce::XmlElement& root)
{
    // The last one counts, as writeInto leaves only one.
    const juce::XmlElement* element = nullptr;
    for (auto* e : root.getChildWithTagNameIterator(rolesTag))
        element = e;
    if (element == nullptr)
        return std::nullopt;
    ControlRoles r;
    for (auto* e : element->getChildWithTagNameIterator("Role"))
    {
        r.setFromText(e->getStringAttribute("Control"), e->getStringAttribute("Action"));
    }
    return r;
}

void ControlRoles::writeInto(juce::XmlElement& root) const
{
    while (auto* old = root.getChildByName(rolesTag))
        root.removeChildElement(old, true);
    auto* element = root.createNewChildElement(rolesTag);
    for (const auto& [id, role] : roles)
    {
        auto* e = element->createNewChildElement("Role");
        e->setAttribute("Control", id);
        e->setAttribute("Action", role.key());
    }
}

juce::String ControlRoles::toLines() const
{
    juce::StringArray lines;
    for (const auto& [id, role] : roles)
        lines.add(juce::String(id) + " " + role.key());
    return lines.joinIntoString("\n");
}

ControlRoles ControlRoles::fromLines(const juce::String& text)
{
    ControlRoles r;
    for (const auto& line : juce::StringArray::fromLines(text))
    {
        r.setFromText(line.upToFirstOccurrenceOf(" ", false, false),
                      line.fromFirstOccurrenceOf(" ", false, false));
    }
    return r;
}
