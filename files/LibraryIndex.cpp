#include "LibraryIndex.h"

#include "FileGate.h"
#include "SafeFileWriter.h"
#include "StrictUtf8.h"

#include <cstring>

namespace
{
const char* const indexMagic = "quillet-library-index-3";
const char* const magicFamily = "quillet-library-index-";

/** Reads the bytes in front of the next NUL as text, when they are UTF-8 in its shortest forms and at most
    maxBytes long; false for anything else, which makes the whole index untrusted. */
bool readText(juce::MemoryInputStream& in, juce::String& text, size_t maxBytes)
{
    const auto* start = static_cast<const char*>(in.getData()) + in.getPosition();
    const auto left = (size_t)(in.getTotalLength() - in.getPosition());
    const auto* end = static_cast<const char*>(std::memchr(start, 0, left));
    if (end == nullptr || (size_t)(end - start) > maxBytes || !isStrictUtf8(start, (size_t)(end - start)))
        return false;
    text = juce::String::fromUTF8(start, (int)(end - start));
    in.setPosition(in.getPosition() + (end - start) + 1);
    return true;
}

bool readNumber(juce::MemoryInputStream& in, juce::int64& value)
{
    if (in.getNumBytesRemaining() < 8)
        return false;
    value = in.readInt64();
    return true;
}

bool readEntry(juce::MemoryInputStream& in, SetupEntry& e)
{
    // Each text at most a few times what the cleaning below keeps of it, in bytes of UTF-8.
    juce::String tags, roles;
    juce::int64 low = 0, high = 0;
    if (!readText(in, e.fileName, 1024) || !readNumber(in, e.size) || !readNumber(in, e.modified) ||
        !readText(in, e.info.title, 4 * 1024) || !readText(in, e.info.description, 64 * 1024) ||
        !readText(in, tags, 16 * 1024) || !readText(in, e.names, 16 * 1024) || !readNumber(in, low) ||
        !readNumber(in, high) || !readText(in, e.problem, 16 * 1024) || !readText(in, roles, 16 * 1024))
        return false;
    // "-": the setup has no roles; otherwise "=" and its roles, a line each.
    if (roles.startsWithChar('='))
        e.info.roles = ControlRoles::fromLines(roles.substring(1));
    e.info.tags = juce::StringArray::fromLines(tags);
    e.info.tags.removeEmptyStrings();
    for (size_t b = 0; b < 64; ++b)
    {
        e.differing.set(b, (((juce::uint64)low >> b) & 1) != 0);
        e.differing.set(b + 64, (((juce::uint64)high >> b) & 1) != 0);
    }
    // Read as the files' own texts are: whatever the index holds is cleaned the same way.
    e.info = e.info.cleaned();
    e.names = e.names.substring(0, 64 * 40);
    e.makeHaystack();
    return e.fileName.isNotEmpty();
}
} // namespace

LibraryIndex::Parsed LibraryIndex::parse(const void* data, size_t size,
                                         std::map<juce::String, SetupEntry>& entries)
{
    entries.clear();
    juce::MemoryInputStream in(data, size, false);
    juce::String magic;
    if (!readText(in, magic, 64))
        return Parsed::damaged;
    if (magic != indexMagic)
        return magic.startsWith(magicFamily) ? Parsed::otherVersion : Parsed::damaged;
    if (in.getNumBytesRemaining() < 4)
        return Parsed::damaged;
    const int count = in.readInt();
    // An entry takes at least its nine texts' ends and four numbers.
    if (count < 0 || (juce::int64)count * (7 + 4 * 8) > in.getNumBytesRemaining())
        return Parsed::damaged;
    for (int i = 0; i < count; ++i)
    {
        SetupEntry e;
        if (!readEntry(in, e))
        {
            entries.clear();
            return Parsed::damaged;
        }
        auto name = e.fileName;
        entries[name] = std::move(e);
    }
    // A cut-off or padded index is not trusted at all: every file is read again.
    if ((int)entries.size() != count || !in.isExhausted())
    {
        entries.clear();
        return Parsed::damaged;
    }
    return Parsed::ok;
}

LibraryIndex::Read LibraryIndex::read(const juce::File& file)
{
    Read r;
    // Never followed through a link, nor read from a FIFO or a device: the folder may be shared.
    const auto bytes = FileGate::readBytes(file, {maxFileSize, "the library's index", false});
    if (bytes.refusal == FileGate::Refusal::missing)
        return r;
    const bool damaged =
        bytes.refusal == FileGate::Refusal::tooLarge ||
        (bytes.ok() && parse(bytes.bytes.getData(), bytes.bytes.getSize(), r.entries) == Parsed::damaged);
    if (!bytes.ok() && !damaged)
    {
        r.writable = false;
        r.problem = "the index " + file.getFileName() + " is left alone (" + bytes.reason +
                    "): the setups are read from their files";
        return r;
    }
    if (damaged)
    {
        const auto aside = file.getSiblingFile(file.getFileName() + setAsideSuffix);
        r.writable = file.moveFileTo(aside);
        r.problem = r.writable
                        ? "the index was damaged: set aside as " + aside.getFileName() + " and made anew"
                        : "the index " + file.getFileName() +
                              " is damaged and cannot be set aside: the setups are read from their files";
    }
    return r;
}

void LibraryIndex::write(const juce::File& file, const std::vector<SetupEntry>& entries)
{
    juce::MemoryOutputStream out;
    out.writeString(indexMagic);
    out.writeInt((int)entries.size());
    for (const auto& e : entries)
    {
        out.writeString(e.fileName);
        out.writeInt64(e.size);
        out.writeInt64(e.modified);
        out.writeString(e.info.title);
        out.writeString(e.info.description);
        out.writeString(e.info.tags.joinIntoString("\n"));
        out.writeString(e.names);
        juce::uint64 low = 0, high = 0;
        for (size_t b = 0; b < 64; ++b)
        {
            low |= (juce::uint64)e.differing[b] << b;
            high |= (juce::uint64)e.differing[b + 64] << b;
        }
        out.writeInt64((juce::int64)low);
        out.writeInt64((juce::int64)high);
        out.writeString(e.problem);
        out.writeString(e.info.roles ? "=" + e.info.roles->toLines() : juce::String("-"));
    }
    // An index its own reader would refuse is no cache; the setups are then read from their files.
    if ((juce::int64)out.getDataSize() > maxFileSize)
        return;
    // Only a cache: a library in a read-only folder is listed all the same.
    SafeFileWriter::replaceFileContents(file, out.getData(), out.getDataSize());
}
