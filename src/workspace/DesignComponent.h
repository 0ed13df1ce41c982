#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "design/DesignEngine.h"
#include "workspace/ValueSlider.h"

/**
    The design workspace panel.

    Holds the design state (through DesignEngine) and the forty child controls with which the user
    sets the input window, the target, the filter-response section, the impulse-response length and
    the sample rate, and starts the dialogs, the measurement import and the coefficient export.

    The program itself sets every text, selection, value, range and toggle state of the children
    with juce::dontSendNotification, so only the user's own actions reach the four listener
    callbacks and no handler re-enters another. Every handler that changes the design ends with
    calculate(), whose end notifies the registered DesignComponent::Listener objects.

    Message thread only.
*/
class DesignComponent : public juce::Component,
                        public DesignEngine,
                        public juce::Button::Listener,
                        public juce::ComboBox::Listener,
                        public juce::Label::Listener,
                        public juce::Slider::Listener
{
public:
    /** Told at the end of every calculate() that the design changed or must be redrawn. */
    class Listener
    {
    public:
        /** Destructor. */
        virtual ~Listener() = default;

        /** Called at the end of every calculate(), with or without a recompute, on the message thread.
            The listener may delete the component; no further listener is called then. */
        virtual void designChanged (DesignComponent* designComponent) = 0;
    };

    /** Builds the children and puts the default design into them. Computes nothing and notifies nobody. */
    DesignComponent();

    /** Deletes the children in creation order, then the design state. */
    ~DesignComponent() override;

    //==============================================================================
    /** Re-applies the palette colours of the two editable labels and the five accent buttons. */
    void lookAndFeelChanged() override;

    /** Fills the panel with the look-and-feel's window background colour. */
    void paint (juce::Graphics& g) override;

    /** Places the children at their fixed pixel positions; the right-hand ones follow the width. */
    void resized() override;

    /** Reacts to the buttons and toggles: dialogs, imports, export, redraw and the two "Max" buttons. */
    void buttonClicked (juce::Button* button) override;

    /** Stores the user's choice of a combo box into the design state, keeps the dependent controls
        enabled or disabled, adapts everything that depends on NFFT and recomputes. */
    void comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged) override;

    /** Runs the measurement import for labelInputFile (the text is the file's full path) and the
        sample-rate entry for labelFs (the text is the rate in Hz; a text that gives no usable rate
        is replaced by the rate in effect); other labels are ignored. */
    void labelTextChanged (juce::Label* labelThatHasChanged) override;

    /** Stores a slider's value (samples, truncated toward zero) into the design state, updates its
        millisecond label and recomputes. A window length of 0 or above NFFT is refused: the slider
        returns to the stored length. */
    void sliderValueChanged (juce::Slider* sliderThatWasMoved) override;

    /** Registers a listener; adding one that is already registered changes nothing. */
    void addListener (Listener* listener);

    //==============================================================================
    /** Pushes fs, NFFT and the three design blocks into the controls, without notification.
        Writes nothing but the controls and computes nothing; callers run calculate (true) after it. */
    void refreshControls();

    /** Shows NFFT and the stored input shift, input window length, filter window shift and filter
        window length as millisecond texts (timeLabelText) at the current rate, without notification. */
    void refreshTimeLabels();

    /** Shows the rate in effect in labelFs, in Hz with one decimal ("48000.0"), without notification. */
    void refreshSampleRateField();

    /** Reads the project document at path (a full path) into the design state, refreshes the
        controls and recomputes. A failure is shown in a modal warning box titled "Opening File"
        and leaves the design, the controls and projectFilePath as they were. IIR sections that
        cannot be designed at the document's rate are named as after a rate entry. */
    void loadProject (juce::String path);

    /** Names, in a modal warning box, the IIR sections that the design leaves out at its sample
        rate (getLeftOutSectionsWarning); shows nothing when there are none. */
    void warnAboutLeftOutSections();

    /** Writes the current design state as a project document to file, replacing its contents
        atomically. Changes nothing in the design. A failure is shown in a modal warning box titled
        "Saving File" and leaves an existing file as it was.
        @returns true when the document was written. */
    bool saveProject (juce::File file);

    /** Asks for a CSV file and reads a user-defined target magnitude (Hz, dB) from it, then recomputes. */
    void importUserDefinedMagnitude();

    /** Asks for a CSV file and reads a user-defined target phase (Hz, degrees) from it, then recomputes. */
    void importUserDefinedPhase();

    /** Asks for a file and writes the FIR coefficients into it, one per line. Changes nothing in the design. */
    void exportCoefficients();

    /** The text of a millisecond label: numSamples / fs * 1000 with exactly two decimals, followed
        by " ms" (4096 samples at 48000 Hz read "85.33 ms"; -48 samples "-1.00 ms"). */
    juce::String timeLabelText (double numSamples) const;

    //==============================================================================
    /** One combo-box item: its id (the value stored in the design) and its text before translation. */
    struct ComboItem
    {
        int id;
        const char* text;
    };

    /** Items of comboBoxWindow and comboBoxWindowFilter. */
    static constexpr ComboItem windowItems[] = { { WindowType::none, "None" },
                                                 { WindowType::hann, "Hann" },
                                                 { WindowType::hann50, "Hann 50%" } };

    /** Items of comboBoxTargetMagnitude. */
    static constexpr ComboItem targetMagnitudeItems[] = { { TargetMagnitudeType::none, "None" },
                                                          { TargetMagnitudeType::flat, "Flat" },
                                                          { TargetMagnitudeType::userDefined, "User Defined" } };

    /** Items of comboBoxTargetPhase. */
    static constexpr ComboItem targetPhaseItems[] = { { TargetPhaseType::none, "None" },
                                                      { TargetPhaseType::zero, "Phase = 0" },
                                                      { TargetPhaseType::minimum, "Phase = Min" },
                                                      { TargetPhaseType::userDefined, "User Defined" } };

    /** Items of comboBoxFilter. */
    static constexpr ComboItem filterResponseItems[] = { { FilterResponseType::none, "None" },
                                                         { FilterResponseType::userDefined, "User Defined" } };

    /** The id of the item whose translated text is exactly text, or 0 when no item has it. */
    template <size_t numItems>
    static int findItemId (const ComboItem (&items)[numItems], const juce::String& text)
    {
        for (const auto& item : items)
            if (juce::translate (item.text) == text)
                return item.id;

        return 0;
    }

    //==============================================================================
    /** The registered listeners, called most recently added first. */
    juce::ListenerList<Listener> listeners;

    // The children, in creation order (also their declaration and deletion order).
    std::unique_ptr<juce::GroupComponent> groupInputData;
    std::unique_ptr<juce::GroupComponent> groupTargetResponse;
    std::unique_ptr<juce::GroupComponent> groupFilterResponse;
    std::unique_ptr<juce::TextButton> textButtonDefineFilter;
    std::unique_ptr<juce::ComboBox> comboBoxFilter;
    std::unique_ptr<juce::TextButton> textButtonLoad;
    std::unique_ptr<juce::Label> labelInputFile;
    std::unique_ptr<juce::Label> labelShift;
    std::unique_ptr<ValueSlider> sliderShift;
    std::unique_ptr<juce::Label> labelWindow;
    std::unique_ptr<juce::ComboBox> comboBoxWindow;
    std::unique_ptr<juce::Label> labelWindowLength;
    std::unique_ptr<ValueSlider> sliderWindowLength;
    std::unique_ptr<juce::Label> labelShiftTime;
    std::unique_ptr<juce::Label> labelWindowLengthTime;
    std::unique_ptr<juce::ComboBox> comboBoxTargetMagnitude;
    std::unique_ptr<juce::ComboBox> comboBoxTargetPhase;
    std::unique_ptr<juce::TextButton> textButtonDefineTargetMagnitude;
    std::unique_ptr<juce::TextButton> textButtonDefineTargetPhase;
    std::unique_ptr<juce::ToggleButton> toggleShowMagnitude;
    std::unique_ptr<juce::ToggleButton> toggleShowPhases;
    std::unique_ptr<juce::Label> labelWindowFilter;
    std::unique_ptr<juce::ComboBox> comboBoxWindowFilter;
    std::unique_ptr<juce::Label> labelShiftFilter;
    std::unique_ptr<ValueSlider> sliderWindowShiftFilter;
    std::unique_ptr<juce::Label> labelWindowShiftTimeFilter;
    std::unique_ptr<juce::Label> labelWindowLengthFilter;
    std::unique_ptr<ValueSlider> sliderWindowLengthFilter;
    std::unique_ptr<juce::Label> labelWindowLengthTimeFilter;
    std::unique_ptr<juce::TextButton> textButtonMaxWindowLengthFilter;
    std::unique_ptr<juce::TextButton> textButtonMaxWindowShiftFilter;
    std::unique_ptr<juce::ToggleButton> toggleMinimumPhase;
    std::unique_ptr<juce::TextButton> textButtonExport;
    std::unique_ptr<juce::Label> labelNFFT;
    std::unique_ptr<juce::Label> labelSampleRate;
    std::unique_ptr<juce::Label> labelNfftTime;
    std::unique_ptr<juce::Label> labelKhz;
    std::unique_ptr<juce::ToggleButton> toggleButtonUnwarp;
    std::unique_ptr<juce::ComboBox> comboBoxNfft;
    std::unique_ptr<juce::Label> labelFs;

protected:
    /** The selected id of comboBoxFilter: 1 "None", 2 "User Defined", 0 when nothing is selected. */
    int getFilterResponseSelection() const override;

    /** Calls every listener, most recently added first, and stops if this component is deleted
        inside a callback. */
    void designCalculated() override;

private:
    void createChildren();
    template <typename Widget, typename... Args>
    Widget& addChild (std::unique_ptr<Widget>& child, Args&&... constructorArguments);
    template <typename ItemArray>
    void setUpComboBox (juce::ComboBox& comboBox, const ItemArray& items, const juce::String& textWhenNothingSelected);
    void setUpLabel (juce::Label& label);
    void setUpSlider (ValueSlider& slider);
    void setUpButton (juce::Button& button, const juce::String& buttonText);
    bool storeWindowLength (juce::Slider& slider, std::uint64_t& windowLength);
    template <typename ItemArray>
    void storeTargetType (const ItemArray& items, const juce::ComboBox& comboBox, std::int32_t& type,
                          juce::Button& defineButton);
    void applyPaletteColours();
    void setInputWindowLengthControlsEnabled (bool shouldBeEnabled);
    void setFilterWindowControlsEnabled (bool shouldBeEnabled);
    void setSliderRangesFromNfft();
    void changeNfft (std::uint64_t newNfft);
    void showOpeningError (const juce::String& message);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DesignComponent)
};
