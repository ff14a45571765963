#!/bin/sh
# The toolkit calls that once broke the editor, kept out of its sources (see the comments where each is worked
# around): CharPointer_UTF8::isValidString lets overlong UTF-8 through (isStrictUtf8 instead); a MidiMessage
# move-assigned over another leaks the other's bytes (OrvSysEx::replaceMessage); XmlElement's attributes by
# index are found by walking the list from its head (look them up by name; the settings reader walks them by
# index only on an element with a handful). And every file is read through
# the file gate (files/FileGate.cpp): the toolkit's own readers open a FIFO blocking, read a device without
# end and make text of any bytes.
cd "$(dirname "$0")/.." || exit 2
found=$(git grep -n -E '::isValidString|= *juce::MidiMessage *\(' -- '*.cpp' '*.h' ':!tests/*' ':!bench/*')
found="$found$(git grep -n -E 'getAttribute(Name|Value) *\( *[a-z]' -- \
  '*.cpp' '*.h' ':!tests/*' ':!bench/*' ':!files/SettingsFile.cpp')"
found="$found$(git grep -n -E 'loadFileAs(Data|String)|FileInputStream|createInputStream|XmlDocument *(::parse)? *\( *[a-zA-Z_]*[fF]ile\b|std::ifstream|fopen *\(' -- \
  '*.cpp' '*.h' ':!tests/*' ':!bench/*' ':!files/FileGate.cpp')"
[ -z "$found" ] && exit 0
echo "toolkit calls that are known to be unsafe here:"
echo "$found"
exit 1
