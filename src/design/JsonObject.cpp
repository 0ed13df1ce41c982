#include "design/JsonObject.h"

void JsonObject::add (const juce::String& key, juce::var value)
{
    keys.push_back (key);
    values.push_back (std::move (value));
}

const juce::var* JsonObject::find (const juce::String& key) const
{
    for (auto i = keys.size(); i > 0; --i)
        if (keys[i - 1] == key)
            return &values[i - 1];

    return nullptr;
}

const JsonObject* JsonObject::of (const juce::var& v)
{
    return dynamic_cast<const JsonObject*> (v.getObject());
}
