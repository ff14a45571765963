#include "SettingsFile.h"

#include "../device/SysExCodec.h"
#include "SafeXmlReader.h"

#include <limits>

namespace
{
const char* const itemAttributes[] = {"ID", "Mode", "Chan", "Num", "MinLSB", "MaxMSB"};

/** Reads an attribute that must be a plain decimal integer (an optional minus sign, then digits) within the
    range of an int. An absent attribute gives the default. Anything else ("", "0x10", "1e99", "5abc", "5.9",
    a number beyond the range) is refused with its reason: the toolkit's own conversion would read it
    silently as some other number. */
bool readInteger(const juce::XmlElement& e, const char* name, int defaultValue, int& value, juce::String& why)
{
    if (!e.hasAttribute(name))
    {
        value = defaultValue;
        return true;
    }
    const auto text = e.getStringAttribute(name);
    auto refuse = [&]
    {
        why << (why.isEmpty() ? "" : ", ") << name << " \"" << text.substring(0, 24)
            << (text.length() > 24 ? "..." : "") << "\" is not a whole number";
        return false;
    };
    auto p = text.getCharPointer();
    const bool negative = *p == '-';
    if (negative)
        ++p;
    if (p.isEmpty())
        return refuse();
    juce::int64 magnitude = 0;
    while (!p.isEmpty())
    {
        const auto c = p.getAndAdvance();
        if (c < '0' || c > '9')
            return refuse();
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > (juce::int64)std::numeric_limits<int>::max() + 1)
            return refuse();
    }
    const auto v = negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<int>::max())
        return refuse();
    value = (int)v;
    return true;
}
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

FileWriteResult writeXmlDocument(const juce::XmlElement& root, const juce::File& file, ReadOnlyFiles readOnly)
{
    // The whole document is made in memory first, so that writing it can be checked byte for byte.
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    juce::MemoryOutputStream text;
    root.writeTo(text, format);
    return SafeFileWriter::replaceFileContents(file, text.getData(), text.getDataSize(), readOnly);
}

FileWriteResult writeSettingsFile(const KbdSettingsStore& store, const juce::File& file,
                                  ReadOnlyFiles readOnly)
{
    return writeXmlDocument(*createSettingsXml(store.snapshot()), file, readOnly);
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

            int id = -1;
            ItemConfig c;
            juce::String bad;
            const bool idOk = readInteger(*e, "ID", -1, id, bad);
            bool numbers = readInteger(*e, "Mode", 0, c.mode, bad) && idOk;
            numbers = readInteger(*e, "Chan", 0, c.channel, bad) && numbers;
            numbers = readInteger(*e, "Num", 0, c.number, bad) && numbers;
            numbers = readInteger(*e, "MinLSB", 0, c.minLsb, bad) && numbers;
            numbers = readInteger(*e, "MaxMSB", 127, c.maxMsb, bad) && numbers;
            const juce::String label =
                "item " + juce::String(position) + (idOk ? " (ID " + juce::String(id) + ")" : "");
            if (!numbers)
            {
                doc.skipped.add(label + ": " + bad);
                continue;
            }

            // Everything an item holds goes to the keyboard as a data byte, so it must fit in one.
            const int values[] = {id, c.mode, c.channel, c.number, c.minLsb, c.maxMsb};
            for (int k = 0; k < 6; ++k)
                if (!OrvSysEx::isDataByte(values[k]))
                    bad << (bad.isEmpty() ? "" : ", ") << itemAttributes[k] << " " << values[k];
            if (bad.isNotEmpty())
            {
                doc.skipped.add(label + ": " + bad + " is outside 0..127");
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
            int slot = -1, value = 0;
            juce::String bad;
            if (!readInteger(*e, "ID", -1, slot, bad))
            {
                doc.skipped.add("global parameter: " + bad);
                continue;
            }
            if (slot < 0 || slot >= numGlobalParams)
                continue;
            const juce::String label = "global parameter " + juce::String(slot);
            if (!readInteger(*e, "Value", 0, value, bad))
            {
                doc.skipped.add(label + ": " + bad);
                continue;
            }
            if (isSentGlobal(slot) && !OrvSysEx::isDataByte(value))
            {
                doc.skipped.add(label + ": value " + juce::String(value) + " is outside 0..127");
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
