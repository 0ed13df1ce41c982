// The user's changes of combo boxes and sliders: what is stored, what is enabled, what is recomputed.
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
/** A workspace with one recording listener, as the main window has. */
struct WorkspaceFixture : public ::testing::Test
{
    /** Picks an item as the user does: the combo box tells its listeners at once. */
    void choose (juce::ComboBox& box, int id) { box.setSelectedId (id, juce::sendNotificationSync); }

    void chooseNfft (int size) { choose (*d.comboBoxNfft, nfftItemId (size)); }

    static int nfftItemId (int size)
    {
        int id = 1;
        for (int n = 32; n < size; n *= 2)
            ++id;
        return id;
    }

    void move (juce::Slider& slider, double value) { slider.setValue (value, juce::sendNotificationSync); }

    ProbeDesignComponent d;
    RecordingListener& listener = d.listener;
};

using DesignComponentComboBoxes = WorkspaceFixture;
using DesignComponentNfft = WorkspaceFixture;
using DesignComponentSliders = WorkspaceFixture;
} // namespace

//==============================================================================
TEST_F (DesignComponentComboBoxes, SelectionsAreStoredSwitchTheirControlsAndRecompute)
{
    using Controls = std::vector<juce::Component*>;
    struct Case
    {
        juce::ComboBox& box;
        const int& stored;
        Controls switched; // enabled by every item but "None"
        bool& changed;
    };
    const Case cases[] = {
        { *d.comboBoxWindow, d.inputData.windowType, { d.sliderWindowLength.get(), d.labelWindowLengthTime.get() },
          d.inputChanged },
        { *d.comboBoxWindowFilter, d.filterData.windowType,
          { d.sliderWindowLengthFilter.get(), d.labelWindowLengthTimeFilter.get(), d.sliderWindowShiftFilter.get(),
            d.labelWindowShiftTimeFilter.get(), d.textButtonMaxWindowLengthFilter.get(), d.textButtonMaxWindowShiftFilter.get() },
          d.filterChanged },
        // "Flat" and "User Defined" targets can both be defined.
        { *d.comboBoxTargetMagnitude, d.targetData.targetMagnitude, { d.textButtonDefineTargetMagnitude.get() }, d.targetChanged },
        { *d.comboBoxTargetPhase, d.targetData.targetPhase, { d.textButtonDefineTargetPhase.get() }, d.targetChanged },
    };
    int notifications = 0;
    for (const auto& c : cases)
        for (int i = c.box.getNumItems() - 1; i >= 0; --i)
        {
            const int id = c.box.getItemId (i);
            c.changed = false;
            d.markCoefficients();
            choose (c.box, id);
            SCOPED_TRACE (c.box.getName() + " " + juce::String (id));
            EXPECT_EQ (c.stored, id);
            EXPECT_TRUE (c.changed);
            EXPECT_TRUE (d.recomputed());
            EXPECT_EQ (listener.calls, ++notifications);
            for (auto* control : c.switched)
                EXPECT_EQ (control->isEnabled(), id != 1) << control->getName();
        }
    EXPECT_TRUE (d.sliderShift->isEnabled()); // the shift stays usable without a window
}

TEST_F (DesignComponentComboBoxes, FilterResponseSelectionDrivesTheSectionAndItsDefineButton)
{
    d.filterData.numUserValues = 1;
    d.filterData.mag.data[0] = -6.0;

    choose (*d.comboBoxFilter, 2);
    EXPECT_EQ (d.filterData.filterType, 2);
    EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());
    EXPECT_TRUE (d.filterChanged);
    EXPECT_EQ (listener.calls, 1);

    // The section is live: the correction filter is scaled by the user point's -6 dB.
    const auto gain = std::pow (10.0, -6.0 / 20.0);
    EXPECT_NEAR (std::abs (d.filterData.coefficientSpectrum.data[100]), gain, 1e-5);

    choose (*d.comboBoxFilter, 1);
    EXPECT_EQ (d.filterData.filterType, 1);
    EXPECT_FALSE (d.textButtonDefineFilter->isEnabled());
    EXPECT_NEAR (std::abs (d.filterData.coefficientSpectrum.data[100]), 1.0, 1e-5);
}

TEST_F (DesignComponentComboBoxes, SelectionsWithoutAnItemStillRecompute)
{
    // A target text without an item stores nothing.
    choose (*d.comboBoxTargetMagnitude, 2);
    d.comboBoxTargetMagnitude->setText ("Something else", juce::dontSendNotification);
    d.comboBoxChanged (d.comboBoxTargetMagnitude.get());
    EXPECT_EQ (d.targetData.targetMagnitude, 2);
    EXPECT_TRUE (d.textButtonDefineTargetMagnitude->isEnabled());
    EXPECT_EQ (listener.calls, 2);

    // No filter-response selection stores 0 and keeps the define button as it was.
    choose (*d.comboBoxFilter, 2);
    d.comboBoxFilter->setSelectedId (0, juce::dontSendNotification);
    d.comboBoxChanged (d.comboBoxFilter.get());
    EXPECT_EQ (d.filterData.filterType, 0);
    EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());
    EXPECT_EQ (listener.calls, 4);
}

TEST_F (DesignComponentComboBoxes, ControlsThatAreNoChildrenAreIgnored)
{
    juce::ComboBox otherBox ("other");
    otherBox.addItem ("Hann", 2);
    otherBox.setSelectedId (2, juce::dontSendNotification);
    d.comboBoxChanged (&otherBox);
    juce::Slider otherSlider ("other");
    otherSlider.setValue (5.0, juce::dontSendNotification);
    d.sliderValueChanged (&otherSlider);

    EXPECT_EQ (listener.calls, 0);
    EXPECT_EQ (d.inputData.windowType, 1);
}

//==============================================================================
TEST_F (DesignComponentNfft, ShrinkingClampsTheCountsThatNoLongerFitAndGrowingKeepsThem)
{
    d.inputData.shift = -100;
    d.inputData.windowLength = 20;
    d.filterData.windowShift = 3000;
    d.refreshControls();

    chooseNfft (32);
    EXPECT_EQ (d.NFFT, 32u);
    EXPECT_EQ (d.labelNfftTime->getText(), "0.67 ms");
    EXPECT_EQ (d.inputData.shift, -32);
    EXPECT_EQ (d.inputData.windowLength, 20u); // fits: kept
    EXPECT_EQ (d.filterData.windowShift, 32);
    EXPECT_EQ (d.filterData.windowLength, 32u);
    EXPECT_EQ (d.sliderShift->getValue(), -32.0);
    EXPECT_EQ (d.labelShiftTime->getText(), "-0.67 ms");
    EXPECT_EQ (d.labelWindowLengthTime->getText(), "0.42 ms");
    EXPECT_EQ (d.sliderWindowShiftFilter->getValue(), 32.0);
    EXPECT_EQ (d.labelWindowLengthTimeFilter->getText(), "0.67 ms");
    for (auto* s : { d.sliderShift.get(), d.sliderWindowShiftFilter.get() })
        EXPECT_EQ (s->getRange(), juce::Range<double> (-32.0, 32.0)) << s->getName();
    for (auto* s : { d.sliderWindowLength.get(), d.sliderWindowLengthFilter.get() })
        EXPECT_EQ (s->getRange(), juce::Range<double> (0.0, 32.0)) << s->getName();
    // The axes and the computed design follow the new size.
    EXPECT_EQ (d.frequencyAxis.length(), 17u);
    EXPECT_EQ (d.frequencyAxis.data.back(), 24000.0);
    EXPECT_EQ (d.timeAxis.length(), 32u);
    EXPECT_EQ (d.filterData.coefficients.length(), 32u);
    EXPECT_TRUE (d.axesChanged);
    EXPECT_EQ (listener.calls, 1);

    chooseNfft (16384);
    EXPECT_EQ (d.inputData.shift, -32);
    EXPECT_EQ (d.filterData.windowLength, 32u);
    EXPECT_EQ (d.sliderShift->getMinimum(), -16384.0);
    EXPECT_EQ (d.sliderWindowLengthFilter->getMaximum(), 16384.0);
    EXPECT_EQ (d.labelNfftTime->getText(), "341.33 ms");
    EXPECT_EQ (d.frequencyAxis.length(), 8193u);
    EXPECT_EQ (listener.calls, 2);
}

TEST_F (DesignComponentNfft, TheSizeInUseOrAnUnofferedSizeChangesNothing)
{
    d.comboBoxChanged (d.comboBoxNfft.get()); // the box shows 4096, the size in use
    d.comboBoxNfft->setText ("100", juce::dontSendNotification);
    d.comboBoxChanged (d.comboBoxNfft.get());

    EXPECT_EQ (d.NFFT, 4096u);
    EXPECT_EQ (listener.calls, 0);
    EXPECT_FALSE (d.axesChanged);
    EXPECT_TRUE (holdsUncomputedDefaults (d));
}

//==============================================================================
TEST_F (DesignComponentSliders, ShiftsAndLengthsAreStoredWithTheirTimeLabels)
{
    d.sliderWindowShiftFilter->setEnabled (true);
    struct Case
    {
        juce::Slider& slider;
        double value;
        std::function<double()> stored;
        juce::Label& time;
        const char* shown;
    };
    const Case cases[] = {
        { *d.sliderShift, -48.0, [&] { return (double) d.inputData.shift; }, *d.labelShiftTime, "-1.00 ms" },
        { *d.sliderWindowShiftFilter, 1537.0, [&] { return (double) d.filterData.windowShift; }, *d.labelWindowShiftTimeFilter, "32.02 ms" },
        { *d.sliderWindowLength, 1024.0, [&] { return (double) d.inputData.windowLength; }, *d.labelWindowLengthTime, "21.33 ms" },
        { *d.sliderWindowLengthFilter, 2048.0, [&] { return (double) d.filterData.windowLength; }, *d.labelWindowLengthTimeFilter, "42.67 ms" },
    };
    int notifications = 0;
    for (const auto& c : cases)
    {
        d.inputChanged = d.filterChanged = false;
        move (c.slider, c.value);
        EXPECT_EQ (c.stored(), c.value) << c.slider.getName();
        EXPECT_EQ (c.time.getText(), c.shown);
        EXPECT_TRUE (d.inputChanged != d.filterChanged);
        EXPECT_EQ (listener.calls, ++notifications);
    }
}

TEST_F (DesignComponentSliders, ZeroWindowLengthIsRefusedButStillRecomputed)
{
    move (*d.sliderWindowLength, 1000.0);
    d.inputChanged = false;

    move (*d.sliderWindowLength, 0.0);
    EXPECT_EQ (d.inputData.windowLength, 1000u);
    EXPECT_EQ (d.sliderWindowLength->getValue(), 1000.0);
    EXPECT_EQ (d.labelWindowLengthTime->getText(), "20.83 ms");
    EXPECT_TRUE (d.inputChanged);
    EXPECT_EQ (listener.calls, 2);

    move (*d.sliderWindowLengthFilter, 0.0);
    EXPECT_EQ (d.filterData.windowLength, 4096u);
    EXPECT_EQ (d.sliderWindowLengthFilter->getValue(), 4096.0);
    EXPECT_EQ (d.labelWindowLengthTimeFilter->getText(), "85.33 ms");
    EXPECT_EQ (listener.calls, 3);
}

TEST_F (DesignComponentSliders, WindowLengthAboveNfftIsRefused)
{
    // A wider range than the design allows, as a slider could have before a size change.
    d.sliderWindowLengthFilter->setRange (0.0, 10000.0, 1.0);
    move (*d.sliderWindowLengthFilter, 4097.0);

    EXPECT_EQ (d.filterData.windowLength, 4096u);
    EXPECT_EQ (d.sliderWindowLengthFilter->getValue(), 4096.0);

    move (*d.sliderWindowLengthFilter, 4096.0 - 1.0);
    EXPECT_EQ (d.filterData.windowLength, 4095u);
}

//==============================================================================
TEST_F (WorkspaceFixture, RefreshShowsTheStateWithoutNotifyingOrComputing)
{
    d.NFFT = 8192;
    d.rebuildAxes();
    d.inputData.fileName = "/some/measurement.frd";
    d.inputData.windowType = 2;
    d.inputData.shift = -48;
    d.inputData.windowLength = 8000; // only reachable once the ranges have grown
    d.targetData.targetMagnitude = 2;
    d.targetData.targetPhase = 4;
    d.filterData.filterType = 2;
    d.filterData.windowType = 0; // a document without it
    d.filterData.minimumPhase = true;
    const auto coefficientsBefore = d.filterData.coefficients.data;

    d.refreshControls();
    pump();

    EXPECT_EQ (d.handlerCalls, 0);
    EXPECT_EQ (listener.calls, 0);
    EXPECT_EQ (d.filterData.coefficients.data, coefficientsBefore);
    EXPECT_EQ (d.inputData.shift, -48); // nothing written back
    EXPECT_EQ (d.inputData.windowLength, 8000u);

    EXPECT_EQ (d.comboBoxNfft->getText(), "8192");
    EXPECT_EQ (d.labelNfftTime->getText(), "170.67 ms");
    EXPECT_EQ (d.labelInputFile->getText(), "/some/measurement.frd");
    EXPECT_EQ (d.comboBoxWindow->getText(), "Hann");
    EXPECT_EQ (d.comboBoxTargetMagnitude->getText(), "Flat");
    EXPECT_EQ (d.comboBoxTargetPhase->getText(), "User Defined");
    EXPECT_EQ (d.comboBoxFilter->getSelectedId(), 2);
    EXPECT_EQ (d.comboBoxWindowFilter->getSelectedId(), 0);
    for (auto* c : std::initializer_list<juce::Component*> { d.sliderWindowLength.get(), d.textButtonDefineTargetMagnitude.get(),
                                                            d.textButtonDefineTargetPhase.get(), d.textButtonDefineFilter.get(),
                                                            d.textButtonMaxWindowShiftFilter.get() })
        EXPECT_TRUE (c->isEnabled()) << c->getName();
    EXPECT_TRUE (d.toggleMinimumPhase->getToggleState());
    EXPECT_EQ (d.labelShiftTime->getText(), "-1.00 ms");
    EXPECT_EQ (d.sliderWindowLength->getValue(), 8000.0);
    EXPECT_EQ (d.labelWindowLengthTime->getText(), "166.67 ms");
    EXPECT_EQ (d.sliderShift->getMinimum(), -8192.0);
}

TEST_F (WorkspaceFixture, RefreshWithUnknownFilterTypeLeavesTheDefineButtonAlone)
{
    d.filterData.filterType = 2;
    d.refreshControls();
    ASSERT_TRUE (d.textButtonDefineFilter->isEnabled());

    d.filterData.filterType = 7;
    d.refreshControls();
    EXPECT_EQ (d.comboBoxFilter->getSelectedId(), 0);
    EXPECT_EQ (d.comboBoxFilter->getText(), "");
    EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());

    d.filterData.filterType = 1;
    d.refreshControls();
    EXPECT_FALSE (d.textButtonDefineFilter->isEnabled());
}

//==============================================================================
TEST (DesignComponentTranslation, TranslatedTextsAreShownAndStillUnderstood)
{
    juce::LocalisedStrings::setCurrentMappings (new juce::LocalisedStrings (
        "language: Test\n\"Load\" = \"Laden\"\n\"Hann\" = \"Hanning\"\n\"Flat\" = \"Eben\"\n"
        "\"(no choices)\" = \"(keine)\"\n", false));
    {
        DesignComponent d;
        EXPECT_EQ (d.textButtonLoad->getButtonText(), "Laden");
        EXPECT_EQ (d.textButtonLoad->getName(), "textButtonLoad"); // names are never translated
        EXPECT_EQ (d.comboBoxWindow->getItemText (1), "Hanning");
        EXPECT_EQ (d.comboBoxNfft->getTextWhenNoChoicesAvailable(), "(keine)");

        d.comboBoxWindow->setSelectedId (2, juce::sendNotificationSync);
        d.comboBoxTargetMagnitude->setSelectedId (2, juce::sendNotificationSync);
        EXPECT_EQ (d.inputData.windowType, 2);
        EXPECT_EQ (d.targetData.targetMagnitude, 2);
        EXPECT_TRUE (d.sliderWindowLength->isEnabled());
    }
    juce::LocalisedStrings::setCurrentMappings (nullptr);
}
