// The floor for the command-line tool's whole-process figures: a JUCE console program that reads its
// arguments and prints how many there were.
#include <juce_events/juce_events.h>

#include <iostream>

int main(int argc, char* argv[])
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(juce::String::fromUTF8(argv[i]));
    std::cout << args.size() << "\n";
    juce::MessageManager::deleteInstance();
    return 0;
}
