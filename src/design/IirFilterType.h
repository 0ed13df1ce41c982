#pragma once

#include <cstddef>

/** The kinds of IIR section a filter-response section can hold. The ids are what FilterData::type and
    project documents store, and what the section table's combo box uses as item ids (there is no 5).
*/
namespace IirFilterType
{
    enum Id : int
    {
        lowPass1stOrder  = 1,
        lowPass2ndOrder  = 2,
        highPass1stOrder = 3,
        highPass2ndOrder = 4,
        peq              = 6,
        lowShelf         = 7,
        highShelf        = 8,
        allpass          = 9
    };

    /** One selectable kind: its id and the text shown for it. */
    struct Item
    {
        Id id;
        const char* text;
    };

    /** Every kind in the order in which the user is offered them. */
    inline constexpr Item items[] = {
        { lowPass1stOrder,  "Low Pass 1st Order" },
        { lowPass2ndOrder,  "Low Pass 2nd Order" },
        { highPass1stOrder, "High Pass 1st Order" },
        { highPass2ndOrder, "High Pass 2nd Order" },
        { peq,              "PEQ" },
        { lowShelf,         "Low Shelf" },
        { highShelf,        "High Shelf" },
        { allpass,          "Allpass" }
    };

    inline constexpr std::size_t numItems = sizeof (items) / sizeof (items[0]);

    /** True when id names one of the kinds above. */
    constexpr bool isValid (long long id)
    {
        for (const auto& item : items)
            if (item.id == id)
                return true;

        return false;
    }

    /** The text of a kind, or an empty text for an id that names none. */
    constexpr const char* getText (long long id)
    {
        for (const auto& item : items)
            if (item.id == id)
                return item.text;

        return "";
    }
}
