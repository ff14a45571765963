#pragma once

#include "ControlRole.h"

#include <map>

/** The role of each control on the keyboard picture, for the DAW maps. Kept in a settings file as one
    optional element after everything else; a file without it means the user never set roles, and the maps
    take the defaults. */
class ControlRoles
{
public:
    /** The faders as track volumes 1 to 9 from left to right, the first eight knobs as device parameters 1
        to 8, the six host buttons as play, stop, record, loop, rewind and forward; the others none. */
    static ControlRoles defaults();

    ControlRole of(int id) const;
    /** Gives a picture control its role (none takes it away); another control, or a role outside the
        vocabulary, is ignored. */
    void set(int id, ControlRole role);
    /** Gives the controls, in the order given, the action numbered from `first` on (non-numbered: all the
        same); a control whose number would pass ControlRole::maxIndex keeps its role. */
    void assign(const std::vector<int>& ids, ControlRole::Action action, int first = 1);
    /** The controls with a role, by id. */
    const std::map<int, ControlRole>& assigned() const { return roles; }

    bool operator==(const ControlRoles& o) const { return roles == o.roles; }
    bool operator!=(const ControlRoles& o) const { return !(*this == o); }

    /** Reads the roles element of a settings document; nullopt when it has none. Bad entries skipped, never
        refused. */
    static std::optional<ControlRoles> fromXml(const juce::XmlElement& settingsRoot);
    /** Writes it as the last element, replacing any there. */
    void writeInto(juce::XmlElement& settingsRoot) const;

    /** One line per control with a role, "id key", for the library's index; fromLines skips what it cannot
        use, as fromXml does. */
    juce::String toLines() const;
    static ControlRoles fromLines(const juce::String& lines);

private:
    /** Sets a role given as text (an id in decimal, a key); what cannot be used is skipped. */
    void setFromText(const juce::String& id, const juce::String& key);

    std::map<int, ControlRole> roles; // none is never kept
};
