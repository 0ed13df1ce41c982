#pragma once

#include "design/DesignData.h"
#include "design/Version.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <vector>

/**
    The headless design engine: the whole design state and the computation that turns a measurement and
    the user's settings into the correction FIR.

    The workspace panel derives from this class and adds the controls; everything here runs without a
    screen. Two virtual hooks connect the engine to whoever owns it:
      - getFilterResponseSelection() tells which "Filter Response" item is selected (1 None,
        2 User Defined); by default the stored FilterData::filterType.
      - designCalculated() is called at the very end of every calculate(), recomputed or not; by default
        it does nothing. An override may delete the object; calculate() touches nothing afterwards.

    Units: fs in Hz, NFFT and all lengths and shifts in samples, frequencies in Hz, levels in dB, phases
    of the measurement in radians, of user curves and user points in degrees; timeAxis in milliseconds.
    All vectors are 1 x n matrices; spectra hold the NFFT/2 + 1 bins from 0 Hz to fs/2.

    calculate (true) recomputes from the settings every time, but an expensive step whose inputs are the
    same bits as at its last run hands back that run's result, which is exactly what it would compute.
    No input, however inconsistent, makes the engine read or write outside a vector.
*/
class DesignEngine
{
public:
    /** Sets the defaults that resetDesign() sets, with the flags a fresh design starts with. */
    DesignEngine();

    virtual ~DesignEngine();

    DesignEngine (const DesignEngine&) = delete;
    DesignEngine& operator= (const DesignEngine&) = delete;

    //==============================================================================
    double fs = 48000.0;               ///< sample rate, Hz
    std::uint64_t NFFT = 4096;         ///< FFT length and length of every impulse response, samples
    InputData inputData;
    TargetData targetData;
    FilterData filterData;
    Matrix<double> timeAxis;           ///< 1 x NFFT: sample times in ms, n * 1000 / fs
    Matrix<double> frequencyAxis;      ///< 1 x (NFFT/2 + 1): k * fs / NFFT Hz, 0 .. fs/2
    bool inputChanged = false;
    bool targetChanged = false;
    bool filterChanged = false;
    bool axesChanged = false;          ///< NFFT or fs changed; once set it stays set
    juce::String projectFilePath;      ///< path of the project document last read; empty after resetDesign()
    std::int32_t versionCode = TalvoVersion::versionCode;

    //==============================================================================
    /** The FFT lengths a design can use, in ascending order. */
    static constexpr std::uint64_t nfftSizes[] = { 32, 64, 128, 256, 512, 1024, 2048,
                                                   4096, 8192, 16384, 32768, 65536 };

    /** True when n is one of nfftSizes. */
    static bool isSupportedNfft (std::uint64_t n) noexcept;

    //==============================================================================
    /** Puts the design back to its defaults: NFFT 4096, fs 48000 Hz, rebuilt axes, empty project path,
        default input, target and filter blocks. Leaves FilterData::filterType, the measurement points
        (InputData::fi, mag_i, phi_i), the target band, versionCode and axesChanged as they are; sets
        inputChanged, targetChanged and filterChanged. Computes nothing and notifies nobody.
    */
    void resetDesign();

    /** Rebuilds frequencyAxis (NFFT/2 + 1 points, 0 .. fs/2 Hz) and timeAxis (NFFT points, ms) from the
        current fs and NFFT. Sets no flag.
    */
    void rebuildAxes();

    /** Interpolates the measurement onto the frequency axis (InputData::measuredSpectrum) and makes the
        input impulse response from it (InputData::impulseResponse, divided by 10^(refLevel/20), centred at
        NFFT/2 unless imported as minimum phase). Without a measurement (empty file name) the spectrum is
        all ones and the response a unit impulse. Runs no pipeline and notifies nobody.
    */
    void calculateInputFromMeasurement();

    /** Computes the filter-response section F on the frequency axis into FilterData::response: 1 on every
        bin unless getFilterResponseSelection() is 2, else the user points' response times the IIR cascade.
    */
    void calculateFilterResponse();

    /** The frequencies (Hz), in section order, of the IIR sections that the filter response leaves
        out because they cannot be designed at the current fs, although they may be held at any rate
        (DesignLimits::isStorableIirSection but not isValidIirSection): a section at or near half the
        sample rate, once the rate was lowered. Empty when the cascade is off (numIIRs 0).
    */
    std::vector<double> getLeftOutSectionFrequencies() const;

    /** The warning for the user that names the sections getLeftOutSectionFrequencies() lists, or an
        empty text when there are none. Its title is leftOutSectionsTitle. */
    juce::String getLeftOutSectionsWarning() const;

    static constexpr const char* leftOutSectionsTitle = "Sample Rate";

    /** Runs the four stages of the design (input, target, correction, filter) when recompute is true,
        then, always, calls designCalculated(). A bin of the correction, or of the filter response
        times the correction, that is not finite is left at 1 (uncorrected), so the FIR is finite.
    */
    void calculate (bool recompute);

    /** The 1-based position of the first sample of largest absolute value; NaN never counts as largest,
        and a vector whose samples are all equal gives 1.
    */
    static std::int32_t findPeakPosition (const Matrix<double>& samples) noexcept;

    //==============================================================================
    /** Reads the project document at path into the design state, in the order: resetDesign(), the stored
        fields, the input response from the measurement, the bounds on shifts and lengths, projectFilePath.
        The caller then refreshes its controls and calls calculate (true).
        Only a regular file of at most DesignLimits::maxProjectDocumentBytes is read, and a read that
        fails part-way refuses the document. A refused document leaves the whole design as it was and
        returns the message for the user: fileDoesNotExistMessage, notValidFileMessage,
        newerVersionMessage, FileReader::notRegularMessage, getDocumentTooLargeMessage() or the
        reason of a failed read.
    */
    juce::Result readProject (const juce::String& path);

    /** The same as readProject() for a document already in memory; projectFilePath is not touched. */
    juce::Result readProjectText (const juce::String& documentText);

    /** Writes the stored fields of the design as a project document, replacing file as FileWriter does
        (the old contents stay intact when writing fails). Every number reads back bit for bit, NaN and
        infinities included. Returns the path and the system's reason when the file could not be
        written, and refuses a document above DesignLimits::maxProjectDocumentBytes, which could not be
        opened again. Changes nothing in the design.
    */
    juce::Result writeProject (const juce::File& file) const;

    /** The project document text that writeProject() stores. */
    juce::String createProjectText() const;

    static constexpr const char* openingFileTitle = "Opening File";
    static constexpr const char* fileDoesNotExistMessage = "File does not exist";
    static constexpr const char* notValidFileMessage = "This is not a valid file.";
    static constexpr const char* newerVersionMessage =
        "This file was made with a newer version. Please update your Talvo app.";
    /** The refusal of a document larger than DesignLimits::maxProjectDocumentBytes. */
    static juce::String getDocumentTooLargeMessage();
    /** The file patterns of project documents, for the file choosers. */
    static constexpr const char* projectFilePatterns = "*.tlvProj,*.tlv";

protected:
    //==============================================================================
    /** The selected id of the "Filter Response" choice (1 None, 2 User Defined, 0 nothing selected).
        The workspace returns its combo box's selection; headless it is FilterData::filterType.
    */
    virtual int getFilterResponseSelection() const;

    /** Called at the end of every calculate(). The workspace notifies its listeners here. */
    virtual void designCalculated();

private:
    /** readProject() and readProjectText() for the document's bytes, which may be anything. */
    juce::Result readProjectDocument (const char* utf8, std::size_t numBytes);

    // Each calculate...Stage reuses the result of its compute...Stage for unchanged inputs.
    void calculateInputStage();
    void computeInputStage();
    void calculateTargetStage();
    void computeTargetStage();
    void calculateCorrectionStage();
    void computeCorrectionStage();
    void calculateFilterStage();

    struct Scratch;
    std::unique_ptr<Scratch> scratch;   // buffers reused from one recompute to the next
};
