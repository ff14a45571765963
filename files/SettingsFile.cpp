#include "SettingsFile.h"

#include "../device/SysExCodec.h"
#include "SafeXmlReader.h"

namespace
{
const char* const itemAttributes[] = {"ID", "Mode", "Chan", "Num", "MinLSB", "MaxMSB"};
} // namespace

bool isSentGlobal(int slot)
{
    return slot == 1 || slot == 2 || slot == 5 || slot == 6 || slot == 7 || slot == 8;
}

void SettingsDocument::applyTo(SettingsState& state) const
{
    for (const auto& item : items)
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            state.set(f, item.id, item.config.field(f));
    for (const auto& [slot, value] : globals)
        state.globals[(size_t)slot] = (int16_t)value;
}

//==============================================================================
std::unique_ptr<juce::XmlElement> createSettingsXml(const SettingsState& state)
{
    auto root = std::make_unique<juce::XmlElement>("Settings");
    auto* items = root->createNewChildElement("Items");
    for (const auto& [id, number] : state.numbers())
    {
        auto* item = items->createNewChildElement("Item");
        item->setAttribute("ID", id);
        item->setAttribute("Mode", state.get(itemFieldMode, id));
        item->setAttribute("Chan", state.get(itemFieldChannel, id));
        item->setAttribute("Num", number);
        item->setAttribute("MinLSB", state.get(itemFieldMinLsb, id));
        item->setAttribute("MaxMSB", state.get(itemFieldMaxMsb, id));
    }
    auto* globals = root->createNewChildElement("Globals");
    for (int g = 0; g < numGlobalParams; ++g)
    {
        auto* param = globals->createNewChildElement("Param");
        param->setAttribute("ID", g);
        param->setAttribute("Value", (int)state.globals[(size_t)g]);
    }
    return root;
}

FileWriteResult writeXmlDocument(const juce::XmlElement& root, const juce::File& file)
{
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    if (root.writeTo(file, format))
        return {true, {}};

    juce::String why = "the file could not be written";
    if (!file.getParentDirectory().isDirectory())
        why = "its folder does not exist";
    else if (file.isDirectory())
        why = "a folder of that name is in the way";
    else if (!file.getParentDirectory().hasWriteAccess() || (file.exists() && !file.hasWriteAccess()))
        why = "there is no permission to write there";
    return {false, why};
}

FileWriteResult writeSettingsFile(const KbdSettingsStore& store, const juce::File& file)
{
    return writeXmlDocument(*createSettingsXml(store.snapshot()), file);
}

//==============================================================================
SettingsDocument parseSettingsXml(const juce::XmlElement& root)
{
    SettingsDocument doc;

    if (auto* items = root.getChildByName("Items"))
    {
        doc.hasItems = true;
        int position = 0;
        for (auto* e : items->getChildIterator())
        {
            ++position;
            if (!e->hasAttribute("ID"))
                continue; // an element without an id was never an item
            const int id = e->getIntAttribute("ID", -1);

            ItemConfig c;
            c.mode = e->getIntAttribute("Mode", 0);
            c.channel = e->getIntAttribute("Chan", 0);
            c.number = e->getIntAttribute("Num", 0);
            c.minLsb = e->getIntAttribute("MinLSB", 0);
            c.maxMsb = e->getIntAttribute("MaxMSB", 127);

            // Everything an item holds goes to the keyboard as a data byte, so it must fit in one.
            juce::String bad;
            const int values[] = {id, c.mode, c.channel, c.number, c.minLsb, c.maxMsb};
            for (int k = 0; k < 6; ++k)
                if (!OrvSysEx::isDataByte(values[k]))
                    bad << (bad.isEmpty() ? "" : ", ") << itemAttributes[k] << " " << values[k];
            if (bad.isNotEmpty())
            {
                doc.skipped.add("item " + juce::String(position) + " (ID " + juce::String(id) + "): " + bad +
                                " is outside 0..127");
                continue;
            }
            doc.items.push_back({id, c});
        }
    }

    if (auto* globals = root.getChildByName("Globals"))
    {
        doc.hasGlobals = true;
        for (auto* e : globals->getChildIterator())
        {
            const int slot = e->getIntAttribute("ID", -1);
            if (slot < 0 || slot >= numGlobalParams)
                continue;
            const int value = e->getIntAttribute("Value", 0);
            if (isSentGlobal(slot) && !OrvSysEx::isDataByte(value))
            {
                doc.skipped.add("global parameter " + juce::String(slot) + ": value " + juce::String(value) +
                                " is outside 0..127");
                continue;
            }
            doc.globals.emplace_back(slot, (int)(int16_t)value);
        }
    }
    return doc;
}

SettingsReadResult readSettingsDocument(const juce::File& file, SettingsDocument& document)
{
    SettingsReadResult result;
    auto xml = SafeXmlReader::readFile(file);
    if (xml.root == nullptr)
    {
        result.message = xml.message;
        return result;
    }
    document = parseSettingsXml(*xml.root);
    if (!document.hasItems && !document.hasGlobals)
    {
        result.message = "it holds no settings (neither an Items nor a Globals element)";
        return result;
    }
    result.ok = true;
    result.skipped = document.skipped;
    return result;
}

SettingsReadResult readSettingsFile(KbdSettingsStore& store, const juce::File& file)
{
    SettingsDocument doc;
    auto result = readSettingsDocument(file, doc);
    if (result.ok)
        store.modify([&doc](SettingsState& state) { doc.applyTo(state); });
    return result;
}
