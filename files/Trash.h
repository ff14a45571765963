#pragma once

#include <juce_core/juce_core.h>

/** Moves files to the desktop's trash, from where the user can restore them. */
namespace Trash
{
/** True when the file went to the trash (or was not there); otherwise says why in problem. On Linux
    this follows the freedesktop.org trash (the file and its restore information); elsewhere the
    toolkit's own. */
bool moveToTrash(const juce::File& file, juce::String& problem);
} // namespace Trash
