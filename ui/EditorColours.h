#pragma once

#include "ColourRoles.h"

/** Sets the colour of every role the editor's components paint on lookAndFeel. */
void setEditorColours(juce::LookAndFeel& lookAndFeel);
