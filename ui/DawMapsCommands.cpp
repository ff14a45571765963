#include "DawMapsCommands.h"

#include "files/DawMapInstall.h"
#include "files/FileGate.h"

DawMapsCommands::DawMapsCommands(const KbdSettingsStore& s, FileCommands& f, EditorDialogs& d)
    : store(s), files(f), dialogs(d)
{
}

DawMaps DawMapsCommands::maps() const
{
    return DawMaps(store.snapshot(), files.roles(), files.instrumentName());
}

void DawMapsCommands::said(const juce::String& text)
{
    if (auto* shown = view())
        shown->setNote(text);
    if (tell)
        tell(text);
}

void DawMapsCommands::open()
{
    if (view() == nullptr)
    {
        if (withoutWindow)
            detached = std::make_unique<DawMapsView>(store, files.roles());
        else
        {
            window = std::make_unique<DawMapsWindow>(store, files.roles());
            // Closed from its own button after the click's callback has returned.
            window->onClose = [this]
            {
                juce::MessageManager::callAsync(
                    [self = WeakThis(this)]
                    {
                        if (self != nullptr)
                            self->close();
                    });
            };
        }
        auto& shown = *view();
        shown.setupName = [this]
        {
            return files.instrumentName();
        };
        shown.onRolesChanged = [this](const ControlRoles& roles)
        {
            files.setRoles(roles);
        };
        shown.onExport = [this](DawMaps::Daw daw)
        {
            exportMap(daw);
        };
        shown.onInstall = [this](DawMaps::Daw daw)
        {
            install(daw);
        };
        shown.refresh();
        if (selectedControls)
            shown.select(selectedControls());
    }
    if (window != nullptr)
    {
        window->setVisible(true);
        window->toFront(true);
    }
}

void DawMapsCommands::exportMap(DawMaps::Daw daw)
{
    const auto map = maps();
    // Live reads a map by its folder's name: the file keeps its fixed name inside a folder for the setup.
    files.exports().choose("Export the map for " + DawMapsView::titleOf(daw),
                           daw == DawMaps::Daw::ableton ? map.folderName() : juce::String(),
                           map.fileName(daw), "*",
                           [self = WeakThis(this), daw, map](std::optional<juce::File> file)
                           {
                               if (self == nullptr || !file)
                                   return;
                               file->getParentDirectory().createDirectory();
                               const auto result = map.write(daw, *file, ReadOnlyFiles::refuse);
                               self->said(result.ok ? "Map written to " + file->getFullPathName()
                                                    : "The map could not be written to " +
                                                          file->getFullPathName() + ": " + result.message);
                           });
}

void DawMapsCommands::install(DawMaps::Daw daw)
{
    const auto result = DawMapInstall::install(daw, maps());
    if (result.ok)
    {
        juce::String problem;
        if (!EditorPreferences(preferencesFile)
                 .rememberInstalledMap(DawMaps::nameOf(daw), result.written, problem))
            return said(result.message + " (it will not be offered again after a Send: " + problem + ")");
    }
    said(result.message);
}

void DawMapsCommands::sendVerified()
{
    const auto map = maps();
    std::vector<DawMaps::Daw> stale;
    for (const auto& [name, file] : EditorPreferences(preferencesFile).installedMaps())
    {
        const auto daw = DawMaps::dawNamed(name);
        // Only this setup's map: another setup's file is that setup's affair.
        if (!daw || file.getFileName() != map.fileName(*daw) ||
            (*daw == DawMaps::Daw::ableton && file.getParentDirectory().getFileName() != map.folderName()))
            continue;
        const auto read = FileGate::readBytes(file, {4 * 1024 * 1024, "a DAW map"});
        if (!read.ok())
            continue; // gone, or not the map any more: nothing to keep right
        const auto text = map.text(*daw);
        if (read.bytes.getSize() != text.size() ||
            std::memcmp(read.bytes.getData(), text.data(), text.size()) != 0)
            if (std::find(stale.begin(), stale.end(), *daw) == stale.end())
                stale.push_back(*daw);
    }
    if (stale.empty())
        return;
    juce::StringArray names;
    for (auto daw : stale)
        names.add(DawMapsView::titleOf(daw));
    dialogs.askYesNo("DAW maps out of date",
                     "The keyboard now sends other messages for controls with a role in the DAW than the map "
                     "installed for " +
                         names.joinIntoString(", ") + " says. Install the map again?",
                     "Install Again", "Not Now",
                     [self = WeakThis(this), stale](bool yes)
                     {
                         if (self == nullptr || !yes)
                             return;
                         for (auto daw : stale)
                             self->install(daw);
                     });
}
