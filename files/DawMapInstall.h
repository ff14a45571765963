#pragma once

#include "DawMaps.h"

/** What came of putting a map where its DAW reads it. */
struct MapInstall
{
    bool ok = false;
    juce::File written;   // the file written, when one was
    juce::String message; // what was done and how the DAW takes it, or why nothing was written and where
                          // the file goes
};

/** Where each DAW reads its map on this system, and putting a map there. */
namespace DawMapInstall
{
/** Where the DAW reads the map, in words for the user: the folder on this system, or where it is kept on
    the systems the DAW runs on. */
juce::String where(DawMaps::Daw daw);
/** The folder the map goes into, when the DAW (Ardour's settings, Live's User Library, ReaLearn's data)
    is there to read it; nothing otherwise. Live's map goes one level deeper, in a folder of its own. */
std::optional<juce::File> folder(DawMaps::Daw daw);
/** Writes the map into folder(daw), making the folders below it that are missing; when there is no such
    folder writes nothing and says where the file goes. A file there of the same name is replaced safely,
    unless it is read-only. */
MapInstall install(DawMaps::Daw daw, const DawMaps& maps);
} // namespace DawMapInstall
