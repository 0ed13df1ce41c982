// The workspace as the user changes it: what a new one holds, what each combo box and slider
// stores, enables and recomputes, the refresh from the design state, and the notification that
// ends every calculation.
#include "GuiTestSupport.h"

#include <cmath>

using namespace guitest;

namespace
{
constexpr auto byUser = juce::sendNotificationSync;

struct Controls : public ::testing::Test
{
    /** Picks an item as the user does: the combo box tells its listeners at once. */
    static void choose (juce::ComboBox& box, int id) { box.setSelectedId (id, byUser); }

    /** The sizes are offered from 32 up, one power of two per item. */
    void chooseNfft (int size) { choose (*d.comboBoxNfft, (int) std::log2 (size) - 4); }

    ProbeDesignComponent d;
};
} // namespace

TEST_F (Controls, NewWorkspaceComputesNothingAndNotifiesNobody)
{
    pump(); // queued notifications would reach the probe's handlers here
    EXPECT_EQ (d.handlerCalls, 0);
    EXPECT_EQ (d.listener.calls, 0);
    // No recompute has run: one would centre the filter's impulse response at NFFT/2.
    const auto& c = d.filterData.coefficients.data;
    EXPECT_TRUE (c.size() == d.NFFT && c[0] == 1.0 && c[d.NFFT / 2] == 0.0);

    // Item ids are what documents store.
    EXPECT_EQ (DesignComponent::findItemId (DesignComponent::windowItems, "Hann 50%"), 3);
    EXPECT_EQ (DesignComponent::findItemId (DesignComponent::targetMagnitudeItems, "User Defined"), 3);
    EXPECT_EQ (DesignComponent::findItemId (DesignComponent::targetPhaseItems, "Phase = Min"), 3);
    EXPECT_EQ (DesignComponent::findItemId (DesignComponent::targetPhaseItems, "User Defined"), 4);
}

TEST_F (Controls, SelectionsAreStoredSwitchTheirControlsAndRecompute)
{
    // Each box, the type it stores, the controls that every item but "None" enables, its change flag.
    struct Case { juce::ComboBox& box; const int& stored; std::vector<juce::Component*> switched; bool& changed; };
    const Case cases[] = {
        { *d.comboBoxFilter, d.filterData.filterType, { d.textButtonDefineFilter.get() }, d.filterChanged },
        { *d.comboBoxWindow, d.inputData.windowType, { d.sliderWindowLength.get(), d.labelWindowLengthTime.get() },
          d.inputChanged },
        { *d.comboBoxWindowFilter, d.filterData.windowType,
          { d.sliderWindowLengthFilter.get(), d.labelWindowLengthTimeFilter.get(), d.sliderWindowShiftFilter.get(),
            d.labelWindowShiftTimeFilter.get(), d.textButtonMaxWindowLengthFilter.get(), d.textButtonMaxWindowShiftFilter.get() },
          d.filterChanged },
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
            EXPECT_EQ (d.listener.calls, ++notifications);
            for (auto* control : c.switched)
                EXPECT_EQ (control->isEnabled(), id != 1) << control->getName();
        }
    EXPECT_TRUE (d.sliderShift->isEnabled()); // the shift stays usable without a window

    // The filter section takes effect at once: one user point at -6 dB scales the correction.
    d.filterData.numUserValues = 1;
    d.filterData.mag.data[0] = -6.0;
    choose (*d.comboBoxFilter, 2);
    EXPECT_NEAR (std::abs (d.filterData.coefficientSpectrum.data[100]), std::pow (10.0, -6.0 / 20.0), 1e-5);

    // No selection stores filter type 0 and leaves the define button as it was.
    d.comboBoxFilter->setSelectedId (0, juce::dontSendNotification);
    d.comboBoxChanged (d.comboBoxFilter.get());
    EXPECT_EQ (d.filterData.filterType, 0);
    EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());
    EXPECT_EQ (d.listener.calls, notifications + 2);
}

TEST_F (Controls, ShrinkingNfftClampsTheCountsThatNoLongerFitAndGrowingKeepsThem)
{
    d.inputData.shift = -100;
    d.inputData.windowLength = 20;
    d.filterData.windowShift = 3000;
    d.refreshControls();

    chooseNfft (32);
    EXPECT_EQ (d.inputData.shift, -32);
    EXPECT_EQ (d.inputData.windowLength, 20u); // fits: kept
    EXPECT_EQ (d.filterData.windowShift, 32);
    EXPECT_EQ (d.filterData.windowLength, 32u);
    EXPECT_EQ (d.sliderShift->getValue(), -32.0);
    EXPECT_EQ (d.sliderWindowLengthFilter->getRange(), juce::Range<double> (0.0, 32.0));
    EXPECT_EQ (d.labelShiftTime->getText(), "-0.67 ms");
    EXPECT_EQ (d.filterData.coefficients.length(), 32u);
    EXPECT_TRUE (d.axesChanged);
    EXPECT_EQ (d.listener.calls, 1);

    chooseNfft (16384);
    EXPECT_EQ (d.inputData.shift, -32);
    EXPECT_EQ (d.filterData.windowLength, 32u);
    EXPECT_EQ (d.sliderShift->getMinimum(), -16384.0);
    EXPECT_EQ (d.listener.calls, 2);

    // The size in use, or a text that is no offered size, changes nothing.
    d.comboBoxChanged (d.comboBoxNfft.get());
    d.comboBoxNfft->setText ("100", juce::dontSendNotification);
    d.comboBoxChanged (d.comboBoxNfft.get());
    EXPECT_EQ (d.NFFT, 16384u);
    EXPECT_EQ (d.listener.calls, 2);
}

TEST_F (Controls, SlidersStoreTheirCountsAndRefuseWindowLengthsOfZeroOrAboveNfft)
{
    // A wider range than the design allows, as a slider could have before a size change.
    d.sliderWindowLengthFilter->setLimits (0.0, 10000.0);
    const auto inputShift = [&] { return (double) d.inputData.shift; };
    const auto inputLength = [&] { return (double) d.inputData.windowLength; };
    const auto filterShift = [&] { return (double) d.filterData.windowShift; };
    const auto filterLength = [&] { return (double) d.filterData.windowLength; };
    // A slider, the value it is moved to, the count it stores, the count kept then, its time label.
    struct Case { juce::Slider& slider; double value; std::function<double()> stored; double kept; juce::Label& time; const char* shown; bool& changed; };
    const Case cases[] = {
        { *d.sliderShift, -48.0, inputShift, -48.0, *d.labelShiftTime, "-1.00 ms", d.inputChanged },
        { *d.sliderWindowShiftFilter, 1537.0, filterShift, 1537.0, *d.labelWindowShiftTimeFilter, "32.02 ms", d.filterChanged },
        { *d.sliderWindowLength, 1024.0, inputLength, 1024.0, *d.labelWindowLengthTime, "21.33 ms", d.inputChanged },
        { *d.sliderWindowLength, 0.0, inputLength, 1024.0, *d.labelWindowLengthTime, "21.33 ms", d.inputChanged },
        { *d.sliderWindowLengthFilter, 2048.0, filterLength, 2048.0, *d.labelWindowLengthTimeFilter, "42.67 ms", d.filterChanged },
        { *d.sliderWindowLengthFilter, 0.0, filterLength, 2048.0, *d.labelWindowLengthTimeFilter, "42.67 ms", d.filterChanged },
        { *d.sliderWindowLengthFilter, 4097.0, filterLength, 2048.0, *d.labelWindowLengthTimeFilter, "42.67 ms", d.filterChanged },
        { *d.sliderWindowLengthFilter, 4096.0, filterLength, 4096.0, *d.labelWindowLengthTimeFilter, "85.33 ms", d.filterChanged },
    };
    int notifications = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.slider.getName() + " " + juce::String (c.value));
        c.changed = false;
        d.markCoefficients();
        c.slider.setValue (c.value, byUser);
        EXPECT_EQ (c.stored(), c.kept);
        EXPECT_EQ (c.slider.getValue(), c.kept);
        EXPECT_EQ (c.time.getText(), c.shown);
        EXPECT_TRUE (c.changed);
        EXPECT_TRUE (d.recomputed()); // also after a refusal
        EXPECT_EQ (d.listener.calls, ++notifications);
    }
}

TEST_F (Controls, TypedNumbersInTheShiftAndLengthBoxesAreReadWholeThenBoundedOrRefused)
{
    // Each text is typed into every box in turn, starting from 37 samples. A shift is bounded by
    // its range; a window length of 0 is refused, one beyond NFFT is bounded by its range.
    struct Step { const char* text; double shift; double length; bool lengthRefused = false; };
    const Step steps[] = {
        { "abc", 37.0, 37.0 },      // no number: nothing changes
        { "1e3", 1000.0, 1000.0 },
        { "+250", 250.0, 250.0 },
        { " 250", 250.0, 250.0 },
        { "12.5 samples", 13.0, 13.0 }, // whole samples, halves up
        { "-12.5", -12.0, 13.0, true },
        { "", -12.0, 13.0 },
        { "0", 0.0, 13.0, true },
        { "1e9", 4096.0, 4096.0 },
        { "-1e400", -4096.0, 4096.0, true },
        { "nan", -4096.0, 4096.0 },
    };
    struct Box { ValueSlider& slider; bool isLength; juce::Label& time; std::function<double()> stored; };
    const Box boxes[] = {
        { *d.sliderShift, false, *d.labelShiftTime, [&] { return (double) d.inputData.shift; } },
        { *d.sliderWindowLength, true, *d.labelWindowLengthTime, [&] { return (double) d.inputData.windowLength; } },
        { *d.sliderWindowShiftFilter, false, *d.labelWindowShiftTimeFilter, [&] { return (double) d.filterData.windowShift; } },
        { *d.sliderWindowLengthFilter, true, *d.labelWindowLengthTimeFilter, [&] { return (double) d.filterData.windowLength; } },
    };
    for (const auto& box : boxes)
    {
        SCOPED_TRACE (box.slider.getName());
        box.slider.setValue (37.0, byUser);
        for (const auto& step : steps)
        {
            SCOPED_TRACE (step.text);
            d.markCoefficients();
            const double before = box.stored();
            typeIntoValueBox (box.slider, step.text);
            const double expected = box.isLength ? step.length : step.shift;
            EXPECT_EQ (box.stored(), expected);
            EXPECT_EQ (box.slider.getValue(), expected);
            EXPECT_EQ (find<juce::Label> (box.slider)->getText(), juce::String ((int) expected));
            EXPECT_EQ (box.time.getText(), d.timeLabelText (expected));
            // A refused length recomputes as a moved slider does; an unchanged value moves nothing.
            EXPECT_EQ (d.recomputed(), expected != before || (box.isLength && step.lengthRefused));
        }
    }
}

TEST_F (Controls, RefreshShowsTheDesignStateWithoutNotifyingOrComputing)
{
    d.NFFT = 8192;
    d.rebuildAxes();
    d.inputData.fileName = "/some/measurement.frd";
    d.inputData.windowType = 2;
    d.inputData.shift = -48;
    d.inputData.windowLength = 8000; // only shown once the ranges have grown
    d.targetData.targetMagnitude = 2;
    d.targetData.targetPhase = 4;
    d.filterData.filterType = 2;
    d.filterData.windowType = 0; // a document without it
    d.filterData.minimumPhase = true;
    d.markCoefficients();

    d.refreshControls();
    pump();
    EXPECT_EQ (d.handlerCalls, 0);
    EXPECT_EQ (d.listener.calls, 0);
    EXPECT_FALSE (d.recomputed());
    EXPECT_EQ (d.inputData.windowLength, 8000u); // nothing written back

    const juce::StringArray shown { d.comboBoxNfft->getText(), d.labelNfftTime->getText(), d.labelInputFile->getText(),
                                    d.comboBoxWindow->getText(), d.comboBoxTargetMagnitude->getText(),
                                    d.comboBoxTargetPhase->getText(), d.comboBoxWindowFilter->getText(),
                                    d.labelShiftTime->getText(), d.labelWindowLengthTime->getText() };
    EXPECT_EQ (shown, juce::StringArray ({ "8192", "170.67 ms", "/some/measurement.frd", "Hann", "Flat", "User Defined",
                                           "", "-1.00 ms", "166.67 ms" }));
    EXPECT_EQ (d.sliderWindowLength->getValue(), 8000.0);
    EXPECT_TRUE (d.toggleMinimumPhase->getToggleState());
    for (auto* c : std::initializer_list<juce::Component*> { d.sliderWindowLength.get(), d.textButtonDefineTargetMagnitude.get(),
                                                            d.textButtonDefineTargetPhase.get(), d.textButtonDefineFilter.get(),
                                                            d.textButtonMaxWindowShiftFilter.get() })
        EXPECT_TRUE (c->isEnabled()) << c->getName();

    // A filter type that no item has leaves the define button as it was.
    d.filterData.filterType = 7;
    d.refreshControls();
    EXPECT_EQ (d.comboBoxFilter->getSelectedId(), 0);
    EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());
}

TEST (DesignComponentListeners, MostRecentlyAddedFirstAndTheWalkSurvivesRemovalAndDeletion)
{
    auto d = std::make_unique<DesignComponent>();
    std::vector<int> log;
    RecordingListener first (1, log), second (2, log), third (3, log);
    for (auto* l : { &first, &second, &third })
        d->addListener (l);

    d->calculate (false);
    EXPECT_EQ (log, (std::vector<int> { 3, 2, 1 }));
    EXPECT_EQ (first.lastComponent, d.get());

    // A listener removed during the walk is skipped, and the rest are still called.
    log.clear();
    third.onCall = [&] (DesignComponent* c) { c->listeners.remove (&second); };
    d->calculate (false);
    EXPECT_EQ (log, (std::vector<int> { 3, 1 }));

    // Deleting the component in a callback ends the walk, also inside the user's own change.
    log.clear();
    third.onCall = [&] (DesignComponent*) { d.reset(); };
    d->comboBoxWindow->setSelectedId (2, byUser);
    EXPECT_EQ (d, nullptr);
    EXPECT_EQ (log, (std::vector<int> { 3 }));
}
