#pragma once

#include <juce_core/juce_core.h>

/** The program's name and version, defined once for the application, the about box and the project
    documents. The numeric version code is derived from the version text at compile time, so the two
    can never disagree.
*/
namespace TalvoVersion
{
    /** The application's name as shown to the user. */
    inline constexpr const char* applicationName = "Talvo";

    /** The version as text: major.minor.patch. */
    inline constexpr const char* versionText = "1.0.0";

    /** Turns a version text "a.b.c" into the code a*10000 + b*100 + c. Each part is the run of decimal
        digits at its start; a missing part counts as 0. Used at compile time for our own version.
    */
    constexpr int codeFromText (const char* text)
    {
        int parts[3] = { 0, 0, 0 };
        int part = 0;

        for (const char* c = text; *c != 0 && part < 3; ++c)
        {
            if (*c == '.')
                ++part;
            else if (*c >= '0' && *c <= '9')
                parts[part] = parts[part] * 10 + (*c - '0');
        }

        return parts[0] * 10000 + parts[1] * 100 + parts[2];
    }

    /** The version code of this program (10000 for "1.0.0"). Documents whose code is higher are refused. */
    inline constexpr int versionCode = codeFromText (versionText);

    static_assert (versionCode == 10000, "the version code follows the version text");
}

/** The version text as a string, for the application object, the about box and written documents. */
inline const juce::String versionString (TalvoVersion::versionText);
