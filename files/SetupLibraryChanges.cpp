#include "SetupLibraryChanges.h"

#include "FileGate.h"
#include "SafeXmlReader.h"
#include "SetupFileName.h"
#include "SyxImport.h"
#include "Trash.h"

#include <cstring>

SetupLibraryChanges::SetupLibraryChanges(const juce::File& f, LibraryMarks& m) : folder(f), marks(m) {}

juce::File SetupLibraryChanges::child(const juce::String& fileName) const
{
    return SetupFileName::inFolder(folder, fileName);
}

juce::File SetupLibraryChanges::claimNewFile(const juce::String& title) const
{
    // File names are limited in bytes, and the safe writer's temporary name is longer still.
    const auto base = SetupFileName::baseFor(title, 180);
    if (!folder.createDirectory())
        return {};
    for (int n = 1; n < 100000; ++n)
    {
        const auto file =
            child(base + (n > 1 ? " " + juce::String(n) : juce::String()) + SetupFileName::extension);
        if (SafeFileWriter::createNew(file))
            return file;
        if (!file.exists())
            return {}; // not a name taken, but a folder that takes no files
    }
    return {};
}

SetupLibraryChanges::Outcome SetupLibraryChanges::write(const juce::File& target,
                                                        const juce::XmlElement& document)
{
    Outcome o;
    if (target == juce::File())
    {
        o.message = "nothing can be written into the library's folder " + folder.getFullPathName();
        return o;
    }
    o.fileName = target.getFileName();
    const auto written = writeXmlDocument(document, target);
    o.ok = written.ok;
    o.message = written.message;
    return o;
}

namespace
{
/** A claimed name whose writing failed is given back. */
SetupLibraryChanges::Outcome releasedOnFailure(SetupLibraryChanges::Outcome o, const juce::File& claimed)
{
    if (!o.ok && claimed != juce::File() && claimed.getSize() == 0)
        claimed.deleteFile();
    return o;
}
} // namespace

SetupLibraryChanges::Outcome SetupLibraryChanges::add(const juce::File& source)
{
    Outcome o;
    if (source.hasFileExtension("syx"))
    {
        const auto imported = SyxImport::fromFile(source);
        if (!imported.ok)
        {
            o.message = SetupFileName::printable(source.getFileName()) + ": " + imported.message;
            return o;
        }
        SetupInfo info;
        info.title = source.getFileNameWithoutExtension();
        const auto target = claimNewFile(info.title);
        return releasedOnFailure(write(target, *createSettingsXml(imported.state, info)), target);
    }
    // Read once, through the gate, and copied as it is, byte for byte: the library holds the user's own file.
    const auto bytes = FileGate::readBytes(source, {SafeXmlReader::maxFileSize, "a settings file"});
    SettingsDocument doc;
    const auto read = bytes.ok() ? readSettingsBytes(bytes.bytes.getData(), bytes.bytes.getSize(), doc)
                                 : SettingsReadResult{false, bytes.reason, {}};
    if (!read.ok)
    {
        o.message = SetupFileName::printable(source.getFileName()) + ": " + read.message;
        return o;
    }
    const auto target =
        claimNewFile(doc.setup.title.isNotEmpty() ? doc.setup.title : source.getFileNameWithoutExtension());
    if (target == juce::File())
        return write(target, juce::XmlElement("Settings"));
    o.fileName = target.getFileName();
    const auto written =
        SafeFileWriter::replaceFileContents(target, bytes.bytes.getData(), bytes.bytes.getSize());
    o.ok = written.ok;
    o.message = written.message;
    return releasedOnFailure(o, target);
}

SetupLibraryChanges::Outcome SetupLibraryChanges::saveNew(const SettingsState& state, const SetupInfo& info)
{
    const auto target = claimNewFile(info.title);
    return releasedOnFailure(write(target, *createSettingsXml(state, info)), target);
}

SetupLibraryChanges::Outcome SetupLibraryChanges::replace(const juce::String& fileName,
                                                          const SettingsState& state, const SetupInfo& info)
{
    if (!SetupFileName::isPlain(fileName) || !child(fileName).existsAsFile())
        return {false, fileName, fileName + " is not in the library"};
    return write(child(fileName), *createSettingsXml(state, info));
}

namespace
{
/** The setup's document, for a change that keeps its values as they are; nothing, with the reason, for a
    name that is no setup of the library. */
std::unique_ptr<juce::XmlElement> readForChange(const juce::String& fileName, const juce::File& file,
                                                juce::String& problem)
{
    if (!SetupFileName::isPlain(fileName))
    {
        problem = fileName + " is not in the library";
        return nullptr;
    }
    auto xml = SafeXmlReader::readFile(file);
    if (xml.root == nullptr)
    {
        problem = file.getFileName() + ": " + xml.message;
        return nullptr;
    }
    const auto doc = parseSettingsXml(*xml.root);
    if (!doc.hasItems && !doc.hasGlobals)
    {
        problem = file.getFileName() + ": this is not a Quillet 49 settings file";
        return nullptr;
    }
    return std::move(xml.root);
}
} // namespace

std::unique_ptr<juce::XmlElement> SetupLibraryChanges::openForChange(const juce::String& fileName,
                                                                     Outcome& o) const
{
    o.fileName = fileName;
    return readForChange(fileName, child(fileName), o.message);
}

SetupLibraryChanges::Outcome SetupLibraryChanges::setInfo(const juce::String& fileName, const SetupInfo& info)
{
    Outcome o;
    const auto file = child(fileName);
    auto root = openForChange(fileName, o);
    if (root == nullptr)
        return o;
    auto kept = info;
    if (!kept.roles)
        kept.roles = ControlRoles::fromXml(*root);
    kept.writeInto(*root);
    return write(file, *root);
}

SetupLibraryChanges::Outcome SetupLibraryChanges::rename(const juce::String& fileName,
                                                         const juce::String& newTitle)
{
    Outcome o;
    const auto file = child(fileName);
    auto root = openForChange(fileName, o);
    if (root == nullptr)
        return o;
    if (!file.hasWriteAccess())
        return {false, fileName, fileName + " is read-only"};
    auto info = SetupInfo::fromXml(*root);
    info.title = newTitle;
    info = info.cleaned();
    if (info.title.isEmpty())
        return {false, fileName, "a setup's title cannot be empty"};
    info.writeInto(*root);
    // The file keeps its name when the title gives the same one.
    if (SetupFileName::baseFor(info.title) + SetupFileName::extension == fileName)
        return write(file, *root);
    // The new file is whole before the old one goes: a failure leaves the setup where it was. Its marks move
    // with it in one change, so no other program sees the old file gone and drops them meanwhile.
    const auto target = claimNewFile(info.title);
    o = releasedOnFailure(write(target, *root), target);
    if (!o.ok)
        return o;
    const auto moved = marks.movedWith(fileName, target.getFileName(), [&file] { return file.deleteFile(); });
    if (moved == LibraryMarks::Move::done)
        return o;
    target.deleteFile();
    return {false, fileName,
            moved == LibraryMarks::Move::fileFailed
                ? fileName + " cannot be removed from the library's folder"
                : "its favourite and last use could not be carried to the new name (the library's marks "
                  "are busy or cannot be written); the setup was kept as it was"};
}

SetupLibraryChanges::Outcome SetupLibraryChanges::duplicate(const juce::String& fileName)
{
    Outcome o;
    const auto file = child(fileName);
    auto root = openForChange(fileName, o);
    if (root == nullptr)
        return o;
    auto info = SetupInfo::fromXml(*root);
    const auto copy = " (copy)";
    // The copy's title differs from the original's, also for a title at its longest.
    info.title = (info.title.isNotEmpty() ? info.title : file.getFileNameWithoutExtension())
                     .substring(0, SetupInfo::maxTitleLength - (int)strlen(copy)) +
                 copy;
    info = info.cleaned();
    info.writeInto(*root);
    const auto target = claimNewFile(info.title);
    return releasedOnFailure(write(target, *root), target);
}

SetupLibraryChanges::Outcome SetupLibraryChanges::remove(const juce::String& fileName)
{
    Outcome o;
    o.fileName = fileName;
    const auto file = child(fileName);
    if (!SetupFileName::isPlain(fileName) || !file.existsAsFile())
    {
        o.message = fileName + " is not in the library";
        return o;
    }
    if (!Trash::moveToTrash(file, o.message))
    {
        o.message = fileName + " was kept: " + o.message;
        return o;
    }
    marks.moved(fileName, {});
    o.ok = true;
    return o;
}
