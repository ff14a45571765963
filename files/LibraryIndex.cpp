#include "LibraryIndex.h"

#include "SafeFileWriter.h"

namespace
{
const char* const indexMagic = "quillet-library-index-2";
} // namespace

std::map<juce::String, SetupEntry> LibraryIndex::read(const juce::File& file)
{
    std::map<juce::String, SetupEntry> index;
    juce::MemoryBlock data;
    if (!file.existsAsFile() || file.getSize() > 256 * 1024 * 1024 || !file.loadFileAsData(data))
        return index;
    juce::MemoryInputStream in(data, false);
    if (in.readString() != indexMagic)
        return index;
    const int count = in.readInt();
    for (int i = 0; i < count && !in.isExhausted(); ++i)
    {
        SetupEntry e;
        e.fileName = in.readString();
        e.size = in.readInt64();
        e.modified = in.readInt64();
        e.info.title = in.readString();
        e.info.description = in.readString();
        e.info.tags = juce::StringArray::fromLines(in.readString());
        e.info.tags.removeEmptyStrings();
        e.names = in.readString();
        const auto low = (juce::uint64)in.readInt64(), high = (juce::uint64)in.readInt64();
        for (size_t b = 0; b < 64; ++b)
        {
            e.differing.set(b, ((low >> b) & 1) != 0);
            e.differing.set(b + 64, ((high >> b) & 1) != 0);
        }
        e.problem = in.readString();
        // Read as the files' own texts are: whatever the index holds is cleaned the same way.
        e.info = e.info.cleaned();
        e.names = e.names.substring(0, 64 * 40);
        e.makeHaystack();
        index[e.fileName] = std::move(e);
    }
    // A cut-off index is not trusted at all: every file is read again.
    if ((int)index.size() != count || in.getPosition() != in.getTotalLength())
        index.clear();
    return index;
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
    }
    // Only a cache: a library in a read-only folder is listed all the same.
    SafeFileWriter::replaceFileContents(file, out.getData(), out.getDataSize());
}
