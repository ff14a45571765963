#include "FileCommands.h"

#include "files/SafeXmlReader.h"

#include "files/MidiChart.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"
#include "files/UserFolders.h"

namespace
{
const char* const fileProblemTitle = "File Problem";
} // namespace

FileCommands::FileCommands(KbdSettingsStore& s, EditHistory& h, EditorDialogs& d)
    : store(s), history(h), dialogs(d)
{
}

juce::File FileCommands::withReplacedExtension(const juce::File& file, const juce::String& extension)
{
    auto name = file.getFileName();
    const int dot = name.lastIndexOfChar('.');
    if (dot >= 0)
        name = name.substring(0, dot);
    return file.getParentDirectory().getChildFile(name + "." + extension);
}

void FileCommands::reportFileProblem(const juce::String& what, const juce::File& file,
                                     const juce::String& why)
{
    // The reason stands on a line of its own, so it starts as a sentence does.
    dialogs.showMessage(fileProblemTitle, what + " " + file.getFullPathName() + ":\n" +
                                              why.substring(0, 1).toUpperCase() + why.substring(1) + ".");
}

//==============================================================================
void FileCommands::load()
{
    // One file dialog at a time: a second would take the first one's place and its answer would be lost.
    if (std::exchange(dialogOpen, true))
        return;
    dialogs.chooseFileToOpen("Please select the settings file you want to load...", settingsFolder.folder(),
                             "*.qmv49",
                             [self = WeakThis(this)](std::optional<juce::File> chosen)
                             {
                                 if (self == nullptr)
                                     return;
                                 self->dialogOpen = false;
                                 if (chosen)
                                     self->loadFrom(*chosen);
                             });
}

void FileCommands::loadFrom(const juce::File& file)
{
    // Save... then proposes the folder of the file last loaded, also one the editor was opened with.
    if (file.getParentDirectory().isDirectory())
        settingsFolder.remember(file.getParentDirectory());
    SettingsDocument doc;
    const auto result = readSettingsDocument(file, doc);
    loadDocument(file, doc, result);
}

bool FileCommands::loadDocument(const juce::File& file, const SettingsDocument& doc,
                                const SettingsReadResult& result)
{
    if (!result.ok)
    {
        reportFileProblem("Nothing was loaded from", file, result.message);
        return false;
    }
    // Every value the file sets stays as loaded, even where an answer of a read-out is still coming.
    for (const auto& item : doc.items)
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            history.pin(field, item.id);
    for (const auto& [slot, value] : doc.globals)
        history.pin(AnswerRouter::globalField, slot);
    // One step, whatever the file holds; the keyboard is not involved.
    history.applyUserChange([&doc](SettingsState& state) { doc.applyTo(state); });
    history.markSaved();
    current = file;
    currentSetup = doc.setup;
    rolesUnsaved = false;
    answer("Loaded " + file.getFileName());

    // The problems 'quillet check' finds: the file as a freshly started editor would load it.
    SettingsState fresh;
    fresh.resetItemsToDefaults();
    doc.applyTo(fresh);
    const auto problems = settingsProblems(doc, result, fresh);
    if (!problems.isEmpty())
    {
        const int n = problems.size();
        juce::StringArray shown;
        for (int i = 0; i < juce::jmin(n, 12); ++i)
            shown.add(problems[i]);
        if (n > 12)
            shown.add("and " + juce::String(n - 12) + " more ('quillet check' lists them all)");
        dialogs.showMessage(fileProblemTitle, juce::String(n) + (n == 1 ? " problem" : " problems") + " in " +
                                                  file.getFullPathName() +
                                                  "; what could be used was loaded.\n\n" +
                                                  shown.joinIntoString("\n"));
    }
    return true;
}

//==============================================================================
void FileCommands::save(std::function<void(bool)> done)
{
    // The file holds the configuration as it was when it was written, and is marked saved against that same
    // copy: what changes while a question is up is not in it.
    auto written = std::make_shared<SettingsState>();
    saveTo(
        "Please select the settings file where to save...", "Quillet 49 setup.qmv49", settingsFolder,
        "The settings could not be saved to",
        [this, written](const juce::File& file, ReadOnlyFiles readOnly)
        {
            lastWritten = file;
            *written = store.snapshot();
            lastSetup = setupInfoFor(file);
            lastSetup.roles = currentSetup.roles; // the editor's, edited since perhaps, not the file's
            return writeXmlDocument(*createSettingsXml(*written, lastSetup), file, readOnly);
        },
        [self = WeakThis(this), written, done](bool saved)
        {
            if (self != nullptr && saved)
            {
                self->history.markSaved(*written);
                self->current = self->lastWritten;
                self->currentSetup = self->lastSetup;
                self->rolesUnsaved = false;
                self->answer("Saved " + self->lastWritten.getFileName() + " at " +
                             juce::Time::getCurrentTime().formatted("%H:%M"));
            }
            if (done)
                done(saved);
        });
}

void FileCommands::savedElsewhere(const juce::File& file, const SettingsState& written,
                                  const juce::String& note)
{
    history.markSaved(written);
    current = file;
    currentSetup = setupInfoFor(file);
    rolesUnsaved = false;
    answer(note);
}

void FileCommands::setRoles(const ControlRoles& roles)
{
    if (currentSetup.roles && *currentSetup.roles == roles)
        return;
    currentSetup.roles = roles;
    rolesUnsaved = true;
}

SetupInfo FileCommands::setupInfoFor(const juce::File& target) const
{
    if (current && *current == target)
        if (const auto xml = SafeXmlReader::readFile(target); xml.root != nullptr)
            return SetupInfo::fromXml(*xml.root);
    return currentSetup;
}

void FileCommands::writeChart()
{
    saveTo("Please select the chart file...", "Quillet 49 chart.html", exportFolder,
           "The chart could not be written to",
           [this](const juce::File& file, ReadOnlyFiles readOnly)
           {
               const auto result = writeMidiChart(store, file, readOnly);
               if (result.ok)
                   answer("Chart written: click to open",
                          [file] { juce::URL(file).launchInDefaultBrowser(); });
               return result;
           },
           {});
}

void FileCommands::exportNames(DawNames::Format format)
{
    const auto instrument = instrumentName();
    saveTo("Please select the file the DAW reads...", instrument + "." + DawNames::extension(format),
           exportFolder, "The names could not be written to",
           [this, format, instrument](const juce::File& file, ReadOnlyFiles readOnly)
           {
               const DawNames names(store.snapshot(), instrument);
               const auto result = names.write(format, file, readOnly);
               const auto merged = names.merged();
               const bool joins = format == DawNames::Format::ins || format == DawNames::Format::reaper;
               if (result.ok)
                   answer(joins && !merged.isEmpty()
                              ? "Names written; " + juce::String(merged.size()) +
                                    (merged.size() == 1 ? " number joins two names" : " numbers join names")
                              : juce::String("Names written: ") + file.getFileName());
               return result;
           },
           {});
}

void FileCommands::installForArdour()
{
    const auto folder = UserFolders::ardourPatchFolder();
    if (!folder)
        return dialogs.showMessage("Install for Ardour",
                                   "No Ardour settings were found in ~/.config: start Ardour once, or export "
                                   "the MIDI Name Document and put it in Ardour's patchfiles folder.");
    const auto instrument = instrumentName();
    const auto target = folder->getChildFile(SetupFileName::baseFor(instrument) + ".midnam");
    const auto install = [this, target, instrument]
    {
        if (!target.getParentDirectory().createDirectory())
            return reportFileProblem("The names could not be written to", target,
                                     "the folder cannot be made");
        writeTo(
            target, "The names could not be written to",
            [this, target, instrument](ReadOnlyFiles readOnly)
            {
                const auto result =
                    DawNames(store.snapshot(), instrument).write(DawNames::Format::midnam, target, readOnly);
                if (result.ok)
                    answer("Installed for Ardour: " + target.getFullPathName());
                return result;
            },
            {});
    };
    if (!target.exists())
        return install();
    dialogs.askYesNo("Install for Ardour",
                     target.getFileName() + " is already in " +
                         target.getParentDirectory().getFullPathName() + ". Replace it?",
                     "Replace", "Cancel",
                     [self = WeakThis(this), install](bool yes)
                     {
                         if (self != nullptr && yes)
                             install();
                     });
}

juce::String FileCommands::instrumentName() const
{
    return currentSetup.nameIn(current);
}

void FileCommands::chooseSaveTarget(const juce::String& title, const juce::String& proposedName,
                                    SaveFolder& folder, std::function<void(std::optional<juce::File>)> chosen)
{
    const auto extension = proposedName.fromLastOccurrenceOf(".", false, false);
    folder.choose(
        title, {}, proposedName, "*." + extension,
        [self = WeakThis(this), extension, chosen = std::move(chosen)](std::optional<juce::File> picked)
        {
            if (self == nullptr)
                return;
            if (!picked)
                return chosen(std::nullopt);
            const auto file = withReplacedExtension(*picked, extension);
            // The dialog confirmed the name that was typed; a different file that the new extension
            // hits is asked for.
            if (file == *picked || !file.exists())
                return chosen(file);
            self->dialogs.confirmOverwrite(file,
                                           [self, file, chosen](bool replace)
                                           {
                                               if (self != nullptr)
                                                   chosen(replace ? std::optional<juce::File>(file)
                                                                  : std::nullopt);
                                           });
        });
}

void FileCommands::writeTo(const juce::File& file, const juce::String& failure,
                           std::function<FileWriteResult(ReadOnlyFiles)> write,
                           std::function<void(bool)> done)
{
    auto finish = [self = WeakThis(this), file, failure, done](const FileWriteResult& result)
    {
        if (self == nullptr)
            return;
        if (!result.ok)
            self->reportFileProblem(failure, file, result.message);
        if (done)
            done(result.ok);
    };
    const auto result = write(ReadOnlyFiles::refuse);
    if (!result.readOnly)
        return finish(result);
    // A read-only file is the user's to replace, but only when asked.
    dialogs.confirmReplaceReadOnly(file,
                                   [self = WeakThis(this), write, finish, done](bool replace)
                                   {
                                       if (self == nullptr)
                                           return;
                                       if (replace)
                                           finish(write(ReadOnlyFiles::replace));
                                       else if (done)
                                           done(false);
                                   });
}

void FileCommands::saveTo(const juce::String& title, const juce::String& proposedName, SaveFolder& folder,
                          const juce::String& failure,
                          std::function<FileWriteResult(const juce::File&, ReadOnlyFiles)> write,
                          std::function<void(bool)> done)
{
    // One file dialog at a time: a second would take the first one's place and its answer would be lost.
    if (std::exchange(dialogOpen, true))
    {
        if (done)
            done(false);
        return;
    }
    const auto ended = [self = WeakThis(this), done](bool written)
    {
        if (self != nullptr)
            self->dialogOpen = false;
        if (done)
            done(written);
    };
    chooseSaveTarget(title, proposedName, folder,
                     [self = WeakThis(this), failure, write, ended](std::optional<juce::File> file)
                     {
                         if (self == nullptr)
                             return;
                         if (!file)
                             return ended(false);
                         self->writeTo(
                             *file, failure,
                             [write, f = *file](ReadOnlyFiles readOnly) { return write(f, readOnly); },
                             ended);
                     });
}

void FileCommands::answer(const juce::String& note, std::function<void()> onClick)
{
    if (onAnswered)
        onAnswered(note, std::move(onClick));
}
