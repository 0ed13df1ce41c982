#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/**
    The members of a JSON object as JsonReader gives them, held inside a juce::var.

    Unlike juce::DynamicObject it makes no juce::Identifier of a key (those go into a pool shared by the
    whole program) and adds a member in constant time, so an object of many thousand keys costs no more
    than an array of as many values. A repeated key is kept; find() gives its last value.
*/
class JsonObject : public juce::ReferenceCountedObject
{
public:
    /** Appends a member. */
    void add (const juce::String& key, juce::var value);

    /** The value of the last member named key, or nullptr when there is none. */
    const juce::var* find (const juce::String& key) const;

    /** The JsonObject that v holds, or nullptr when v holds something else. */
    static const JsonObject* of (const juce::var& v);

private:
    std::vector<juce::String> keys;
    std::vector<juce::var> values;
};
