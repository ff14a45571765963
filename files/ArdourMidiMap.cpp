#include "ArdourMidiMap.h"

namespace
{
using A = ControlRole::Action;
using Kind = SentMessage::Kind;

/** How Ardour's generic MIDI surface names what a role does: a control of a strip of the current bank (or
    of the selected strip), a function, or a menu action. */
struct Target
{
    const char* attribute; // "uri", "function" or "action"
    juce::String value;
};

Target targetOf(const ControlRole& role)
{
    const auto strip = "B" + juce::String(role.index);
    switch (role.action)
    {
    case A::trackVolume:
        return {"uri", "/route/gain " + strip};
    case A::trackPan:
        return {"uri", "/route/pandirection " + strip};
    case A::mute:
        return {"uri", "/route/mute " + strip};
    case A::solo:
        return {"uri", "/route/solo " + strip};
    case A::recordArm:
        return {"uri", "/route/recenable " + strip};
    case A::sendA:
        return {"uri", "/route/send/gain " + strip + " 1"};
    case A::sendB:
        return {"uri", "/route/send/gain " + strip + " 2"};
    case A::deviceParameter: // the selected strip's first plugin
        return {"uri", "/route/plugin/parameter S1 1 " + juce::String(role.index)};
    case A::play:
        return {"function", "transport-roll"};
    case A::stop:
        return {"function", "transport-stop"};
    case A::record:
        return {"function", "toggle-rec-enable"};
    case A::loop:
        return {"function", "loop-toggle"};
    case A::previousBank:
        return {"function", "prev-bank"};
    case A::nextBank:
        return {"function", "next-bank"};
    case A::rewind:
        return {"action", "Transport/Rewind"};
    case A::forward:
        return {"action", "Transport/Forward"};
    case A::previousTrack:
        return {"action", "Editor/select-prev-route"};
    case A::nextTrack:
        return {"action", "Editor/select-next-route"};
    case A::marker:
        return {"action", "Editor/add-location-from-playhead"};
    case A::undo:
        return {"action", "Editor/undo"};
    case A::none:
        break;
    }
    return {"", {}};
}

/** The attribute that names the message: a program change carries no value, so it can only start a
    function or an action. */
const char* messageAttribute(Kind kind)
{
    switch (kind)
    {
    case Kind::controller:
        return "ctl";
    case Kind::note:
        return "note";
    case Kind::program:
        return "pgm";
    case Kind::rpn:
        return "rpn";
    case Kind::nrpn:
        return "nrpn";
    default:
        return nullptr;
    }
}
} // namespace

MapText ArdourMidiMap::write(const std::vector<MapBinding>& bindings, const juce::String& name)
{
    MapText map;
    juce::XmlElement root("ArdourMIDIBindings");
    root.setAttribute("version", "1.0.0");
    root.setAttribute("name", name);

    // A bank as wide as the highest strip a control names, so that the bank steps move by a whole bank.
    int bankSize = 0;
    for (const auto& b : bindings)
        if (b.role.action >= A::trackVolume && b.role.action <= A::sendB)
            bankSize = std::max(bankSize, b.role.index);
    if (bankSize > 0)
        root.createNewChildElement("DeviceInfo")->setAttribute("bank-size", bankSize);

    juce::StringArray followed;
    for (const auto& b : bindings)
    {
        const auto target = targetOf(b.role);
        if (b.sent.kind == Kind::mmc)
        {
            followed.add(b.control + " (" + b.role.name() + ")");
            continue;
        }
        const char* message = messageAttribute(b.sent.kind);
        if (message == nullptr || (b.sent.kind == Kind::program && juce::String(target.attribute) == "uri"))
        {
            map.warnings.add(b.control + ": Ardour cannot give " + b.role.name() +
                             " to what it sends; left out of the map");
            continue;
        }
        auto* e = root.createNewChildElement("Binding");
        e->setAttribute("channel", b.channel() + 1);
        e->setAttribute(message, b.sent.number);
        e->setAttribute(target.attribute, target.value);
    }
    // Comments go before the root: the toolkit writes none inside an element.
    juce::String out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<!-- Written by the Morvane Quillet MIDI Control Center from a setup and the roles of "
                     "its controls -->\n");
    if (!followed.isEmpty())
    {
        // A comment may not hold two dashes in a row.
        auto names = followed.joinIntoString(", ");
        while (names.contains("--"))
            names = names.replace("--", "- -");
        out << "<!-- Sending MMC, which Ardour follows by itself when it listens to the keyboard's MMC: "
            << names << " -->\n";
    }
    out << root.toString(juce::XmlElement::TextFormat().withoutHeader());
    map.text = out.toStdString();
    return map;
}
