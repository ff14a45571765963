// A floor for `quillet syx`: the bare console program that also writes a file as safely as the tool's
// saves do (a new file beside the target, its bytes flushed to the disk, renamed over the target, the
// folder flushed), so that the flushes, which a safe save cannot do without, are told apart from the tool.
#include <juce_events/juce_events.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

int main(int argc, char* argv[])
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(juce::String::fromUTF8(argv[i]));
    if (args.size() != 3)
    {
        std::cerr << "usage: safe_write_console IN OUT BYTES\n";
        return 64;
    }
    const juce::File target(args[1]);
    const juce::File temporary = target.getSiblingFile("." + target.getFileName() + ".tmp");
    const std::vector<char> bytes((size_t)args[2].getIntValue(), 0x40);
    const int fd =
        ::open(temporary.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size() || ::fsync(fd) != 0 ||
        ::close(fd) != 0 ||
        std::rename(temporary.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
        return 1;
    const int folder =
        ::open(target.getParentDirectory().getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY);
    if (folder < 0 || ::fsync(folder) != 0)
        return 1;
    ::close(folder);
    std::cout << args.size() << "\n";
    juce::MessageManager::deleteInstance();
    return 0;
}
