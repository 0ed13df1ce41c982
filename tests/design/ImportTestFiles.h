#pragma once

#include <juce_core/juce_core.h>

#include <string>

/** A fresh folder for the files of one test, removed with everything in it afterwards. */
class ScratchFolder
{
public:
    ScratchFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("talvo-test-", "", false))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    /** Writes the bytes exactly as given (no line-end conversion) and returns the file. */
    juce::File write (const juce::String& name, const std::string& bytes) const
    {
        auto file = folder.getChildFile (name);
        file.deleteFile();
        file.create();
        file.appendData (bytes.data(), bytes.size());
        return file;
    }

    juce::File get (const juce::String& name) const { return folder.getChildFile (name); }

    const juce::File folder;
};
