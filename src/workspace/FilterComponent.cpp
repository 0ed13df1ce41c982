#include "workspace/FilterComponent.h"

#include "appearance/ColourPalette.h"
#include "design/DesignLimits.h"
#include "design/FilterResponse.h"
#include "workspace/ValueTableRowSorter.h"

#include <cmath>
#include <complex>

namespace
{
using ComplexMatrix = Matrix<std::complex<double>>;

/** 20 log10 |x| of every element, |x| taken as hypot (re, im). */
Matrix<double> magnitudeDb (const ComplexMatrix& x)
{
    Matrix<double> result (x.rows, x.cols);

    for (std::size_t k = 0; k < x.data.size(); ++k)
        result.data[k] = 20.0 * std::log10 (std::hypot (x.data[k].real(), x.data[k].imag()));

    return result;
}

/** The argument of every element in degrees, -180 to 180. */
Matrix<double> phaseDegrees (const ComplexMatrix& x)
{
    Matrix<double> result (x.rows, x.cols);

    for (std::size_t k = 0; k < x.data.size(); ++k)
        result.data[k] = std::atan2 (x.data[k].imag(), x.data[k].real()) / 6.283185307179586 * 360.0;

    return result;
}

/** Sections that cancel or blow up the response are drawn at the edge of a +-120 dB range. */
constexpr double sectionMagnitudeLimitDb = 120.0;

/** True when a block already holds what a table shows: its count is the table's and, for a count
    above 0, its arrays have the bits of the table's (`sameArrays`); a count of 0 leaves the arrays
    unused. Such a block keeps its own copy, so that opening the editor and closing it untouched
    leaves the design as it was, down to unused arrays that a document may carry. */
bool blockHolds (std::uint64_t heldCount, std::size_t count, bool sameArrays)
{
    return heldCount == count && (count == 0 || sameArrays);
}

constexpr int editorWidth = 1024;
constexpr int editorHeight = 768;
constexpr int buttonWidth = 100;
constexpr int buttonHeight = 24;
constexpr int buttonPitch = 110;
constexpr int toggleWidth = 150;
} // namespace

FilterComponent::FilterComponent (FilterData* filterDataToEdit, double designSampleRate)
    : filterData (filterDataToEdit)
{
    frequencyValueTable = std::make_unique<FrequencyValueTableComponent>();
    addAndMakeVisible (frequencyValueTable.get());
    frequencyValueTable->setName ("frequencyValueTable");

    textButtonAddFr = makeButton<juce::TextButton> ("textButtonAddFr", "Add");

    figFrequencyResponse = std::make_unique<FigureComponent>();
    addAndMakeVisible (figFrequencyResponse.get());
    figFrequencyResponse->setName ("figFrequencyResponse");

    iirTable = std::make_unique<IirTableComponent>();
    addAndMakeVisible (iirTable.get());
    iirTable->setName ("iirTable");
    iirTable->sampleRate = designSampleRate;

    textButtonAddIir = makeButton<juce::TextButton> ("textButtonAddIir", "Add");
    textButtonDeleteFr = makeButton<juce::TextButton> ("textButtonDeleteFr", "Delete");
    textButtonDeleteIir = makeButton<juce::TextButton> ("textButtonDeleteIir", "Delete");
    textButtonOK = makeButton<juce::TextButton> ("textButtonOK", "OK");
    textButtonCancel = makeButton<juce::TextButton> ("textButtonCancel", "Cancel");

    toggleButtonShowMagnitudes = makeButton<juce::ToggleButton> ("toggleButtonShowMagnitudes", "Show Magnitudes");
    toggleButtonShowMagnitudes->setToggleState (true, juce::dontSendNotification);
    toggleButtonShowPhases = makeButton<juce::ToggleButton> ("toggleButtonShowPhases", "Show Phases");
    toggleButtonShowPhases->setToggleState (true, juce::dontSendNotification);

    fs = 48000.0;
    NFFT = 4096;

    // Magnitudes against the left axis, phases against the right one.
    figFrequencyResponse->xlim (10.0, 24000.0);
    figFrequencyResponse->ylim (-60.0, 60.0);
    figFrequencyResponse->xlabel (juce::translate ("Frequency [Hz]"));
    figFrequencyResponse->ylabel (juce::translate ("Magnitude [dB]"));
    figFrequencyResponse->yyaxis ("Right");
    figFrequencyResponse->xlim (10.0, fs / 2.0);
    figFrequencyResponse->ylim (-180.0, 180.0);
    figFrequencyResponse->ylabel (juce::translate ("Phase [deg]"));
    figFrequencyResponse->yyaxis ("Left");

    fillTablesFromFilterData();

    frequencyValueTable->listeners.add (this);
    iirTable->listeners.add (this);

    frequencyGrid = linspace (fs / 2.0, (std::size_t) (NFFT / 2));

    setSize (editorWidth, editorHeight);

    textButtonOK->setColour (juce::TextButton::buttonColourId, colourPalette[ColourPaletteIndex::accent]);
    textButtonOK->setColour (juce::TextButton::buttonOnColourId, colourPalette[ColourPaletteIndex::accent]);
    textButtonOK->setColour (juce::TextButton::textColourOffId, colourPalette[ColourPaletteIndex::accentText]);
    textButtonOK->setColour (juce::TextButton::textColourOnId, colourPalette[ColourPaletteIndex::accentText]);

    updateFrequencyResponse();
}

FilterComponent::~FilterComponent()
{
    // The children go in the order in which they were made, the tables first.
    frequencyValueTable.reset();
    textButtonAddFr.reset();
    figFrequencyResponse.reset();
    iirTable.reset();
    textButtonAddIir.reset();
    textButtonDeleteFr.reset();
    textButtonDeleteIir.reset();
    textButtonOK.reset();
    textButtonCancel.reset();
    toggleButtonShowMagnitudes.reset();
    toggleButtonShowPhases.reset();
}

template <typename ButtonType>
std::unique_ptr<ButtonType> FilterComponent::makeButton (const juce::String& name, const juce::String& text)
{
    auto button = std::make_unique<ButtonType> (name);
    addAndMakeVisible (button.get());
    button->setButtonText (juce::translate (text));
    button->addListener (this);
    return button;
}

void FilterComponent::fillTablesFromFilterData()
{
    // A block read from a damaged document may claim more entries than its arrays hold; only the
    // entries that every array of a table holds are shown.
    const auto numPoints = std::min<std::uint64_t> ({ filterData->numUserValues, filterData->fi.data.size(),
                                                      filterData->mag.data.size(), filterData->phi.data.size() });

    for (std::size_t i = 0; i < numPoints; ++i)
        frequencyValueTable->rows.add ({ filterData->fi.data[i], filterData->mag.data[i], filterData->phi.data[i] });

    frequencyValueTable->numRows = frequencyValueTable->rows.size();

    const auto numSections = std::min<std::uint64_t> ({ filterData->numIIRs, filterData->type.data.size(),
                                                        filterData->freq.data.size(), filterData->q.data.size(),
                                                        filterData->gain.data.size() });

    for (std::size_t i = 0; i < numSections; ++i)
        iirTable->rows.add ({ (int) filterData->type.data[i], filterData->freq.data[i], filterData->q.data[i],
                              filterData->gain.data[i] });

    iirTable->numRows = iirTable->rows.size();
}

void FilterComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff323e44));
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void FilterComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int halfWidth = proportionOfWidth (0.5f);
    const int halfHeight = proportionOfHeight (0.5f);
    const int tableHeight = halfHeight - 80;

    figFrequencyResponse->setBounds (0, 0, w, halfHeight);
    frequencyValueTable->setBounds (0, halfHeight, halfWidth, tableHeight);
    iirTable->setBounds (halfWidth, halfHeight, halfWidth, tableHeight);

    textButtonAddFr->setBounds (frequencyValueTable->getRight() - buttonPitch, frequencyValueTable->getBottom(),
                                buttonWidth, buttonHeight);
    textButtonDeleteFr->setBounds (textButtonAddFr->getX() - buttonPitch, frequencyValueTable->getBottom(),
                                   buttonWidth, buttonHeight);
    textButtonAddIir->setBounds (iirTable->getRight() - buttonPitch, iirTable->getBottom(), buttonWidth, buttonHeight);
    textButtonDeleteIir->setBounds (textButtonAddIir->getX() - buttonPitch, iirTable->getBottom(),
                                    buttonWidth, buttonHeight);

    textButtonOK->setBounds (w - 105, h - 29, buttonWidth, buttonHeight);
    textButtonCancel->setBounds (textButtonOK->getX() - buttonPitch, textButtonOK->getY(), buttonWidth, buttonHeight);

    const int toggleY = textButtonAddFr->getY() + 36;
    toggleButtonShowMagnitudes->setBounds (16, toggleY, toggleWidth, buttonHeight);
    toggleButtonShowPhases->setBounds (178, toggleY, toggleWidth, buttonHeight);
}

void FilterComponent::valueTableChanged (ValueTableComponent*)
{
    updateFrequencyResponse();
}

template <typename Table>
void FilterComponent::deleteFirstSelectedRow (Table& table)
{
    // Only the lowest selected row goes, even when several are selected.
    const int row = table.table.getSelectedRow (0);

    if (juce::isPositiveAndBelow (row, table.rows.size()))
    {
        table.rows.remove (row);
        --table.numRows;
    }

    table.table.updateContent();
}

void FilterComponent::buttonClicked (juce::Button* button)
{
    if (button == textButtonAddFr.get())
    {
        frequencyValueTable->rows.add ({ 1000.0, 0.0, 0.0 });
        ++frequencyValueTable->numRows;
        frequencyValueTable->table.updateContent();
        updateFrequencyResponse();
    }
    else if (button == textButtonAddIir.get())
    {
        iirTable->rows.add (iirTable->makeNewRow());
        ++iirTable->numRows;
        iirTable->table.updateContent();
        updateFrequencyResponse();
    }
    else if (button == textButtonDeleteFr.get())
    {
        deleteFirstSelectedRow (*frequencyValueTable);
        updateFrequencyResponse();
    }
    else if (button == textButtonDeleteIir.get())
    {
        deleteFirstSelectedRow (*iirTable);
        updateFrequencyResponse();
    }
    else if (button == textButtonOK.get())
    {
        if (auto* window = getTopLevelComponent())
            window->exitModalState (1);
    }
    else if (button == textButtonCancel.get())
    {
        if (auto* window = getTopLevelComponent())
            window->exitModalState (0);
    }
    else if (button == toggleButtonShowMagnitudes.get() || button == toggleButtonShowPhases.get())
    {
        updateFrequencyResponse();
    }
}

void FilterComponent::updateFrequencyResponse()
{
    // User points, by ascending frequency; points that share a frequency keep their order.
    auto points = frequencyValueTable->rows;
    ValueTableRowSorter::sortRows (points, 1, 1);

    const auto numPoints = (std::size_t) points.size();
    Matrix<double> fi (1, numPoints), mag (1, numPoints), phi (1, numPoints);

    for (std::size_t i = 0; i < numPoints; ++i)
    {
        const auto& point = points.getReference ((int) i);
        fi.data[i] = point.frequency;
        mag.data[i] = point.magnitude;
        phi.data[i] = point.phase;
    }

    const auto Ht = calculateUserPointsResponse (fi, mag, phi, numPoints, frequencyGrid);

    if (! blockHolds (filterData->numUserValues, numPoints,
                      sameBits (filterData->fi, fi) && sameBits (filterData->mag, mag) && sameBits (filterData->phi, phi)))
    {
        filterData->fi = fi;
        filterData->mag = mag;
        filterData->phi = phi;
        filterData->numUserValues = numPoints;
    }

    // IIR sections, in table order.
    const auto& sections = iirTable->rows;
    const auto numSections = (std::size_t) sections.size();
    Matrix<std::size_t> type (1, numSections);
    Matrix<double> gain (1, numSections), freq (1, numSections), q (1, numSections);

    for (std::size_t i = 0; i < numSections; ++i)
    {
        const auto& section = sections.getReference ((int) i);
        type.data[i] = (std::size_t) (std::uint32_t) section.type;
        gain.data[i] = section.gain;
        freq.data[i] = section.frequency;
        q.data[i] = section.q;
    }

    // The preview leaves out what the design leaves out: a section that cannot be designed at the
    // design's rate (one at or near half of it) counts as a type without a designer.
    auto previewType = type;

    for (std::size_t i = 0; i < numSections; ++i)
        if (! DesignLimits::isValidIirSection (type.data[i], gain.data[i], freq.data[i], q.data[i], iirTable->sampleRate))
            previewType.data[i] = 0;

    const auto Hiir = calculateIirCascadeResponse (previewType, gain, freq, q, frequencyGrid, fs);

    if (! blockHolds (filterData->numIIRs, numSections,
                      sameBits (filterData->type, type) && sameBits (filterData->gain, gain)
                          && sameBits (filterData->freq, freq) && sameBits (filterData->q, q)))
    {
        filterData->type = type;
        filterData->gain = gain;
        filterData->freq = freq;
        filterData->q = q;
        filterData->numIIRs = numSections;
    }

    auto dIir = magnitudeDb (Hiir);

    for (auto& value : dIir.data)
        if (std::isinf (value))
            value = value > 0.0 ? sectionMagnitudeLimitDb : -sectionMagnitudeLimitDb;

    const auto H = Ht * Hiir;

    figFrequencyResponse->clear();

    if (toggleButtonShowPhases->getToggleState())
    {
        figFrequencyResponse->yyaxis ("Right");
        figFrequencyResponse->semilogx (frequencyGrid, phaseDegrees (Hiir), colourPalette[ColourPaletteIndex::phaseCurveRed]);
        figFrequencyResponse->hold (true);
        figFrequencyResponse->semilogx (frequencyGrid, phaseDegrees (Ht), colourPalette[ColourPaletteIndex::phaseCurveOrange]);
        figFrequencyResponse->semilogx (frequencyGrid, phaseDegrees (H), colourPalette[ColourPaletteIndex::phaseCurveBlue]);
        figFrequencyResponse->hold (false);
    }

    if (toggleButtonShowMagnitudes->getToggleState())
    {
        figFrequencyResponse->yyaxis ("Left");
        figFrequencyResponse->hold (true);
        figFrequencyResponse->semilogx (frequencyGrid, dIir, colourPalette[ColourPaletteIndex::curveRed]);
        figFrequencyResponse->semilogx (frequencyGrid, magnitudeDb (Ht), colourPalette[ColourPaletteIndex::curveOrange]);
        figFrequencyResponse->semilogx (frequencyGrid, magnitudeDb (H), colourPalette[ColourPaletteIndex::curveBlue]);
        figFrequencyResponse->hold (false);
    }
}
