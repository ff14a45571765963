#!/bin/sh
# The toolkit calls that once broke the editor, kept out of its sources (see the comments where each is worked
# around): CharPointer_UTF8::isValidString lets overlong UTF-8 through (isStrictUtf8 instead); a MidiMessage
# move-assigned over another leaks the other's bytes (OrvSysEx::replaceMessage); XmlElement's attributes by
# index are found by walking the list from its head (look them up by name).
cd "$(dirname "$0")/.." || exit 2
found=$(git grep -n -E '::isValidString|= *juce::MidiMessage *\(|getAttribute(Name|Value) *\( *[a-z]' -- \
  '*.cpp' '*.h' ':!tests/*' ':!bench/*')
[ -z "$found" ] && exit 0
echo "toolkit calls that are known to be unsafe here:"
echo "$found"
exit 1
