#include "SettingsFile.h"

#include "../device/SysExCodec.h"
#include "SafeXmlReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <set>

namespace
{
/** An item's attribute in messages: as the panel names its field ("CC number" for "Num"), the id as "ID". */
const char* itemAttributeWord(int k)
{
    return k == 0 ? "ID" : fieldTable[k - 1].panelLabel;
}

/** Text from a file, cut to maxLength characters and quoted for a message. Control characters are written
    as \xNN: a message may end up on a terminal (quillet check), where ESC or BEL would set its title,
    clear it or change its colours. */
juce::String quotedFileText(const juce::String& text, int maxLength)
{
    juce::String quoted("\"");
    int n = 0;
    for (auto p = text.getCharPointer(); !p.isEmpty() && n < maxLength; ++n)
    {
        const auto c = p.getAndAdvance();
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            quoted << "\\x" << juce::String::toHexString((int)c).paddedLeft('0', 2).toUpperCase();
        else
            quoted += juce::String::charToString(c);
    }
    return quoted + (text.length() > maxLength ? "...\"" : "\"");
}

/** Reads an attribute that must be a plain decimal integer (an optional minus sign, then digits) within the
    range of an int. An absent attribute gives the default. Anything else ("", "0x10", "1e99", "5abc", "5.9",
    a number beyond the range) is refused with its reason: the toolkit's own conversion would read it
    silently as some other number. */
bool readInteger(const juce::String* attribute, const char* name, int defaultValue, int& value,
                 juce::String& why)
{
    if (attribute == nullptr)
    {
        value = defaultValue;
        return true;
    }
    const auto& text = *attribute;
    auto refuse = [&]
    {
        why << (why.isEmpty() ? "" : ", ") << name << " " << quotedFileText(text, 24)
            << " is not a whole number";
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

/** The values of the named attributes of an element, null where absent. The first of two attributes with
    one name counts, as it does for the toolkit's own look-ups. */
template <size_t count>
std::array<const juce::String*, count> findAttributes(const juce::XmlElement& e,
                                                      const std::array<juce::Identifier, count>& names)
{
    std::array<const juce::String*, count> found{};
    const int attributes = e.getNumAttributes();
    // The toolkit finds the attribute at an index by walking the list from its head, so a loop over all
    // attributes by index takes time that grows with the square of their number (40,000 of them: seconds).
    // An element of a settings file has a handful: one walk over them, each name matched against the
    // wanted ones by its pooled text's address, as the toolkit compares identifiers. Many attributes take
    // one look-up per name instead.
    if (attributes > 16)
    {
        for (size_t k = 0; k < count; ++k)
            if (e.hasAttribute(names[k]))
                found[k] = &e.getStringAttribute(names[k]);
        return found;
    }
    for (int i = 0; i < attributes; ++i)
    {
        const auto* name = e.getAttributeName(i).getCharPointer().getAddress();
        for (size_t k = 0; k < count; ++k)
            if (found[k] == nullptr && name == names[k].getCharPointer().getAddress())
            {
                found[k] = &e.getAttributeValue(i);
                break;
            }
    }
    return found;
}

// Held for the program's life: the names stay in the toolkit's pool, so each parsed name of the same text
// shares their address.
const std::array<juce::Identifier, 7> itemAttributesAndName{"ID",     "Mode",   "Chan", "Num",
                                                            "MinLSB", "MaxMSB", "Name"};
const std::array<juce::Identifier, 2> globalAttributes{"ID", "Value"};
} // namespace

bool isSentGlobal(int slot)
{
    return std::find(std::begin(sentGlobalParams), std::end(sentGlobalParams), slot) !=
           std::end(sentGlobalParams);
}

bool isPlainControlName(const juce::String& name)
{
    if (name.isEmpty() || name.length() > maxControlNameLength || name.trim().isEmpty())
        return false;
    for (auto p = name.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            return false;
    }
    return true;
}

juce::String controlLabel(const SettingsState& state, int id)
{
    const auto named = state.names.find(id);
    if (named != state.names.end())
        return juce::String::fromUTF8(named->second.c_str());
    const char* name = ControlCatalogue::displayName(id);
    return name != nullptr ? juce::String(name) : juce::String(id);
}

void SettingsDocument::applyTo(SettingsState& state) const
{
    for (const auto& item : items)
    {
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            state.set(f, item.id, item.config.field(f));
        // An item replaces its control wholly, its name included.
        if (item.name.isNotEmpty())
            state.names[item.id] = item.name.toStdString();
        else
            state.names.erase(item.id);
    }
    for (const auto& [slot, value] : globals)
        state.globals[(size_t)slot] = (int16_t)value;
}

//==============================================================================
std::unique_ptr<juce::XmlElement> createSettingsXml(const SettingsState& state, const SetupInfo& setup)
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
        // Only named controls carry the attribute, so a file without names is as it always was.
        const auto name = state.names.find(id);
        if (name != state.names.end())
            item->setAttribute("Name", juce::String::fromUTF8(name->second.c_str()));
    }
    auto* globals = root->createNewChildElement("Globals");
    for (int g = 0; g < numGlobalParams; ++g)
    {
        auto* param = globals->createNewChildElement("Param");
        param->setAttribute("ID", g);
        param->setAttribute("Value", (int)state.globals[(size_t)g]);
    }
    setup.writeInto(*root);
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
            const auto attributes = findAttributes(*e, itemAttributesAndName);
            if (attributes[0] == nullptr)
                continue; // an element without an id was never an item

            int id = -1;
            ItemConfig c;
            juce::String bad;
            const bool idOk = readInteger(attributes[0], itemAttributeWord(0), -1, id, bad);
            bool numbers = readInteger(attributes[1], itemAttributeWord(1), 0, c.mode, bad) && idOk;
            numbers = readInteger(attributes[2], itemAttributeWord(2), 0, c.channel, bad) && numbers;
            numbers = readInteger(attributes[3], itemAttributeWord(3), 0, c.number, bad) && numbers;
            numbers = readInteger(attributes[4], itemAttributeWord(4), 0, c.minLsb, bad) && numbers;
            numbers = readInteger(attributes[5], itemAttributeWord(5), 127, c.maxMsb, bad) && numbers;
            // Named by the control's name where the id is one of the keyboard's; made only for a problem.
            const auto label = [&]
            {
                const char* own = idOk ? ControlCatalogue::displayName(id) : nullptr;
                return own != nullptr ? juce::String(own) + " (item " + juce::String(position) + ")"
                                      : "item " + juce::String(position) +
                                            (idOk ? " (ID " + juce::String(id) + ")" : juce::String());
            };
            if (!numbers)
            {
                doc.skipped.add(label() + ": " + bad);
                if (idOk)
                    doc.skippedControls.push_back(id);
                continue;
            }

            // Everything an item holds goes to the keyboard as a data byte, so it must fit in one.
            const int values[] = {id, c.mode, c.channel, c.number, c.minLsb, c.maxMsb};
            for (int k = 0; k < 6; ++k)
                if (!OrvSysEx::isDataByte(values[k]))
                    bad << (bad.isEmpty() ? "" : ", ") << itemAttributeWord(k) << " " << values[k];
            if (bad.isNotEmpty())
            {
                doc.skipped.add(label() + ": " + bad + " is outside 0..127");
                doc.skippedControls.push_back(id);
                continue;
            }
            juce::String name;
            if (attributes[6] != nullptr)
            {
                name = *attributes[6];
                if (!isPlainControlName(name))
                {
                    doc.skipped.add(label() + ": the name " + quotedFileText(name, 40) +
                                    " is not plain text of 1 to 32 characters; the control keeps its own");
                    name = {};
                }
            }
            doc.items.push_back({id, c, name});
        }
    }

    if (auto* globals = root.getChildByName("Globals"))
    {
        doc.hasGlobals = true;
        for (auto* e : globals->getChildIterator())
        {
            int slot = -1, value = 0;
            juce::String bad;
            const auto attributes = findAttributes(*e, globalAttributes);
            if (!readInteger(attributes[0], "ID", -1, slot, bad))
            {
                doc.skipped.add("keyboard-wide value: " + bad);
                continue;
            }
            if (slot < 0 || slot >= numGlobalParams)
                continue;
            const auto label = [slot]
            {
                return juce::String(ControlCatalogue::globalName(slot));
            };
            if (!readInteger(attributes[1], "Value", 0, value, bad))
            {
                doc.skipped.add(label() + ": " + bad);
                continue;
            }
            if (isSentGlobal(slot) && !OrvSysEx::isDataByte(value))
            {
                doc.skipped.add(label() + ": value " + juce::String(value) + " is outside 0..127");
                continue;
            }
            doc.globals.emplace_back(slot, (int)(int16_t)value);
        }
    }
    doc.setup = SetupInfo::fromXml(root);
    return doc;
}

namespace
{
SettingsReadResult takeApart(const SafeXmlReader::Result& xml, SettingsDocument& document)
{
    SettingsReadResult result;
    if (xml.root == nullptr)
    {
        result.message = xml.message;
        return result;
    }
    document = parseSettingsXml(*xml.root);
    if (!document.hasItems && !document.hasGlobals)
    {
        result.message = "this is not a Quillet 49 settings file: it holds no settings";
        return result;
    }
    result.ok = true;
    result.skipped = document.skipped;
    return result;
}
} // namespace

SettingsReadResult readSettingsDocument(const juce::File& file, SettingsDocument& document)
{
    return takeApart(SafeXmlReader::readFile(file), document);
}

SettingsReadResult readSettingsBytes(const void* data, size_t size, SettingsDocument& document)
{
    return takeApart(SafeXmlReader::parseBytes(data, size), document);
}

SettingsReadResult readSettingsFile(KbdSettingsStore& store, const juce::File& file)
{
    SettingsDocument doc;
    auto result = readSettingsDocument(file, doc);
    if (result.ok)
        store.modify([&doc](SettingsState& state) { doc.applyTo(state); });
    return result;
}

//==============================================================================
juce::StringArray settingsProblems(const SettingsDocument& document, const SettingsReadResult& result,
                                   const SettingsState& loaded)
{
    auto named = [&loaded](int id)
    {
        const char* own = ControlCatalogue::displayName(id);
        return own != nullptr || loaded.names.count(id) != 0
                   ? controlLabel(loaded, id) + " (control " + juce::String(id) + ")"
                   : juce::String(ControlCatalogue::messageName(id));
    };
    juce::StringArray problems;
    for (const auto& why : result.skipped)
        problems.add("skipped " + why);

    // A control whose item was skipped is told of once, by the reason it was skipped, not again as missing.
    std::set<int> toldOf(document.skippedControls.begin(), document.skippedControls.end());
    for (const auto& item : document.items)
    {
        toldOf.insert(item.id);
        if (!ControlCatalogue::isConfigurable(item.id))
            problems.add("control id " + juce::String(item.id) + " is not a control of the keyboard");
        if (item.config.mode >= numItemModes)
            problems.add(named(item.id) + ": " + ControlCatalogue::fieldName(itemFieldMode) + " " +
                         juce::String(item.config.mode) + " is not a known mode");
        const int channel = item.config.channel;
        if (!ControlCatalogue::isKnownChannelCode(channel))
            problems.add(named(item.id) + ": " + ControlCatalogue::fieldName(itemFieldChannel) + " code " +
                         juce::String(channel) + " is not a known channel");
    }
    for (int id : ControlCatalogue::configurableControls())
        if (toldOf.count(id) == 0)
            problems.add(named(id) + " is missing (its factory default would be sent)");

    // The channels first, then the two-way values, each by id.
    for (const auto& g : globalParamTable)
        if (g.kind == GlobalKind::channel &&
            (loaded.globals[(size_t)g.id] < 0 || loaded.globals[(size_t)g.id] > 15))
            problems.add(juce::String(ControlCatalogue::globalName(g.id)) + ": " +
                         juce::String(loaded.globals[(size_t)g.id]) + " is not a MIDI channel (0..15)");
    for (const auto& g : globalParamTable)
        if (g.kind == GlobalKind::twoChoices && loaded.globals[(size_t)g.id] != 1 &&
            loaded.globals[(size_t)g.id] != 127)
            problems.add(juce::String(ControlCatalogue::globalName(g.id)) + ": value " +
                         juce::String(loaded.globals[(size_t)g.id]) + " is neither 1 nor 127");
    return problems;
}
