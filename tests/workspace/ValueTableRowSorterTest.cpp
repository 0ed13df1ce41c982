#include "workspace/ValueTableRowSorter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
using Row = FrequencyValueTableComponent::Row;

juce::Array<Row> makeRows()
{
    // Each column orders the rows differently.
    return { Row { 1000.0, -3.0, 45.0 }, Row { 100.0, 6.0, -90.0 }, Row { 500.0, 0.0, 10.0 }, Row { 20.0, 12.0, 0.0 } };
}

juce::Array<double> column (const juce::Array<Row>& rows, int columnId)
{
    juce::Array<double> values;

    for (const auto& r : rows)
        values.add (FrequencyValueTableComponent::getField (r, columnId));

    return values;
}

bool isOrdered (const juce::Array<double>& values, int direction)
{
    for (int i = 1; i < values.size(); ++i)
        if ((values[i] - values[i - 1]) * direction < 0.0)
            return false;

    return true;
}
} // namespace

TEST (ValueTableRowSorterTest, SortsByEveryColumnInBothDirectionsAndMovesWholeRows)
{
    const auto original = makeRows();

    for (int columnId = 1; columnId <= 3; ++columnId)
    {
        for (int direction : { 1, -1 })
        {
            auto rows = original;
            ValueTableRowSorter sorter (columnId, direction);
            rows.sort (sorter);

            SCOPED_TRACE ("column " + std::to_string (columnId) + ", direction " + std::to_string (direction));
            EXPECT_TRUE (isOrdered (column (rows, columnId), direction));

            // Every row of the original is still there with its three values together.
            ASSERT_EQ (rows.size(), original.size());

            for (const auto& r : original)
            {
                bool found = false;

                for (const auto& s : rows)
                    found = found || (s.frequency == r.frequency && s.magnitude == r.magnitude && s.phase == r.phase);

                EXPECT_TRUE (found) << r.frequency;
            }
        }
    }
}

TEST (ValueTableRowSorterTest, UnknownColumnLeavesEveryPairEqual)
{
    const Row a { 1.0, 2.0, 3.0 };
    const Row b { 4.0, 5.0, 6.0 };

    for (int columnId : { 0, 4, 9, -1 })
    {
        EXPECT_EQ (ValueTableRowSorter (columnId, 1).compareElements (a, b), 0);
        EXPECT_EQ (ValueTableRowSorter (columnId, -1).compareElements (b, a), 0);
    }
}

TEST (ValueTableRowSorterTest, NanKeysGoAfterNumbersAndTheRestStaysSorted)
{
    // Enough rows that std::sort leaves its insertion-sort path, where an inconsistent comparison
    // would read outside the array.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    juce::Array<Row> rows;
    juce::Random random (42);

    for (int i = 0; i < 200; ++i)
        rows.add ({ i % 7 == 3 ? nan : random.nextDouble() * 20000.0, 0.0, 0.0 });

    ValueTableRowSorter sorter (1, 1);
    rows.sort (sorter);

    int firstNan = rows.size();

    for (int i = 0; i < rows.size(); ++i)
    {
        if (std::isnan (rows[i].frequency))
        {
            firstNan = i;
            break;
        }
    }

    for (int i = firstNan; i < rows.size(); ++i)
        EXPECT_TRUE (std::isnan (rows[i].frequency)) << i;

    for (int i = 1; i < firstNan; ++i)
        EXPECT_LE (rows[i - 1].frequency, rows[i].frequency) << i;

    EXPECT_EQ (rows.size() - firstNan, 29); // 3, 10, ..., 199
}
