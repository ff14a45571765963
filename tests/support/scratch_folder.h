#pragma once

#include <juce_core/juce_core.h>

#include <filesystem>
#include <system_error>

/** A fresh folder under the temporary directory, removed with everything in it. The folder is created by one
    call that fails when the name is taken, so two test processes at once never share one. */
class ScratchFolder
{
public:
    ScratchFolder() : folder(create()) {}
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File file(const juce::String& name) const { return folder.getChildFile(name); }
    int fileCount() const { return folder.getNumberOfChildFiles(juce::File::findFiles); }

    const juce::File folder;

private:
    static juce::File create()
    {
        const auto temp = juce::File::getSpecialLocation(juce::File::tempDirectory);
        juce::Random random;
        for (;;)
        {
            const auto candidate =
                temp.getChildFile("quillet-test-" + juce::String::toHexString(random.nextInt64()));
            std::error_code error;
            // create_directory reports false, without an error, when the folder already exists.
            if (std::filesystem::create_directory(candidate.getFullPathName().toStdString(), error))
                return candidate;
            if (error)
                throw std::runtime_error("cannot create a scratch folder in " +
                                         temp.getFullPathName().toStdString());
        }
    }
};
