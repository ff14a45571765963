#include "ControlDescription.h"

#include "model/ControlCatalogue.h"

juce::String describeControlSetting(const SettingsState& state, int itemId)
{
    juce::StringArray parts;
    const auto label = [](int field)
    {
        return juce::String(fieldTable[field - itemFieldMode].panelLabel);
    };
    const int mode = state.get(itemFieldMode, itemId);
    const auto& modes = ControlCatalogue::modePanelTexts();
    if (mode >= 0 && mode < (int)modes.size())
        parts.add(label(itemFieldMode) + ": " + modes[(size_t)mode]);
    const int number = state.get(itemFieldNumber, itemId);
    const auto& numbers = ControlCatalogue::controllerNames();
    if (number >= 0 && number < (int)numbers.size())
        parts.add(label(itemFieldNumber) + ": " + juce::String(numbers[(size_t)number]));
    return parts.joinIntoString(", ");
}
