#include "ReaLearnPreset.h"

namespace
{
using A = ControlRole::Action;
using Kind = SentMessage::Kind;

// ReaLearn's MIDI source types and characters, as its presets number them.
constexpr int sourceControllerValue = 0, sourceNoteVelocity = 1, sourceParameterValue = 6;
constexpr int characterRange = 0, characterButton = 1;

/** The virtual control element of a role: a name ("ch3/fader", "play") or, for a device parameter, a
    number counted from 0; and whether it is a button. */
struct Element
{
    juce::var id;
    bool button;
};

Element elementOf(const ControlRole& role)
{
    const auto strip = "ch" + juce::String(role.index) + "/";
    switch (role.action)
    {
    case A::trackVolume:
        return {strip + "fader", false};
    case A::trackPan:
        return {strip + "v-pot", false};
    case A::sendA:
        return {strip + "send-a", false};
    case A::sendB:
        return {strip + "send-b", false};
    case A::deviceParameter:
        return {role.index - 1, false};
    case A::mute:
        return {strip + "mute", true};
    case A::solo:
        return {strip + "solo", true};
    case A::recordArm:
        return {strip + "record-ready", true};
    case A::play:
        return {"play", true};
    case A::stop:
        return {"stop", true};
    case A::record:
        return {"record", true};
    case A::loop:
        return {"cycle", true};
    case A::rewind:
        return {"rewind", true};
    case A::forward:
        return {"fast-fwd", true};
    case A::previousTrack:
        return {"ch-left", true};
    case A::nextTrack:
        return {"ch-right", true};
    case A::previousBank:
        return {"bank-left", true};
    case A::nextBank:
        return {"bank-right", true};
    case A::marker:
        return {"marker", true};
    case A::undo:
        return {"undo", true};
    case A::none:
        break;
    }
    return {{}, false};
}

juce::var object(std::initializer_list<std::pair<const char*, juce::var>> properties)
{
    auto* o = new juce::DynamicObject();
    for (const auto& [key, value] : properties)
        o->setProperty(key, value);
    return juce::var(o);
}
} // namespace

MapText ReaLearnPreset::write(const std::vector<MapBinding>& bindings, const juce::String& name)
{
    MapText map;
    juce::Array<juce::var> mappings;
    for (const auto& b : bindings)
    {
        const bool parameter = b.sent.kind == Kind::rpn || b.sent.kind == Kind::nrpn;
        if (b.sent.kind != Kind::controller && b.sent.kind != Kind::note && !parameter)
        {
            map.warnings.add(b.control +
                             ": ReaLearn's controller presets take controllers, notes and "
                             "(N)RPNs only; " +
                             b.role.name() + " is left out");
            continue;
        }
        const auto element = elementOf(b.role);
        auto source = object({{"category", "midi"},
                              {"type", b.sent.kind == Kind::controller ? sourceControllerValue
                                       : b.sent.kind == Kind::note     ? sourceNoteVelocity
                                                                       : sourceParameterValue},
                              {"channel", b.channel()},
                              {"number", b.sent.number}});
        if (b.sent.kind == Kind::controller)
            source.getDynamicObject()->setProperty("character",
                                                   element.button ? characterButton : characterRange);
        if (parameter)
        {
            source.getDynamicObject()->setProperty("isRegistered", b.sent.kind == Kind::rpn);
            source.getDynamicObject()->setProperty("is14Bit", true);
        }
        mappings.add(object({{"id", "control-" + juce::String(b.id)},
                             {"name", b.control},
                             {"source", source},
                             {"target", object({{"category", "virtual"},
                                                {"controlElementType", element.button ? "Button" : "Multi"},
                                                {"controlElementIndex", element.id}})}}));
    }
    const auto preset = object({{"version", "2.12.0"}, {"name", name}, {"mappings", mappings}});
    map.text = juce::JSON::toString(preset).toStdString() + "\n";
    return map;
}
