// A new workspace: its children, their texts, items, states and places, painting and re-colouring.
#include "GuiTestSupport.h"

#include "appearance/ColourPalette.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace
{
juce::StringArray itemTexts (const juce::ComboBox& box)
{
    juce::StringArray texts;
    for (int i = 0; i < box.getNumItems(); ++i)
        texts.add (box.getItemText (i) + "=" + juce::String (box.getItemId (i)));
    return texts;
}
} // namespace

TEST (DesignComponentConstruction, FortyNamedChildrenInCreationOrder)
{
    DesignComponent d;
    const char* names[] = {
        "groupInputData", "groupTargetResponse", "groupFilterResponse", "textButtonDefineFilter", "comboBoxFilter",
        "textButtonLoad", "labelInputFile", "labelShift", "sliderShift", "labelWindow", "comboBoxWindow",
        "labelWindowLength", "sliderWindowLength", "labelShiftTime", "labelWindowLengthTime",
        "comboBoxTargetMagnitude", "comboBoxTargetPhase", "textButtonDefineTargetMagnitude",
        "textButtonDefineTargetPhase", "toggleShowMagnitude", "toggleShowPhases", "labelWindowFilter",
        "comboBoxWindowFilter", "labelShiftFilter", "sliderWindowShiftFilter", "labelWindowShiftTimeFilter",
        "labelWindowLengthFilter", "sliderWindowLengthFilter", "labelWindowLengthTimeFilter",
        "textButtonMaxWindowLengthFilter", "textButtonMaxWindowShiftFilter", "toggleMinimumPhase",
        "textButtonExport", "labelNFFT", "labelSampleRate", "labelNfftTime", "labelKhz", "toggleButtonUnwarp",
        "comboBoxNfft", "labelFs"
    };

    ASSERT_EQ (d.getNumChildComponents(), 40);
    for (int i = 0; i < 40; ++i)
    {
        EXPECT_EQ (d.getChildComponent (i)->getName(), names[i]) << "child " << i;
        EXPECT_TRUE (d.getChildComponent (i)->isVisible()) << names[i];
    }

    // The public members are the children themselves, in the same order.
    EXPECT_EQ (d.getChildComponent (0), d.groupInputData.get());
    EXPECT_EQ (d.getChildComponent (4), d.comboBoxFilter.get());
    EXPECT_EQ (d.getChildComponent (38), d.comboBoxNfft.get());
    EXPECT_EQ (d.getChildComponent (39), d.labelFs.get());
    EXPECT_EQ (d.getWidth(), 600);
    EXPECT_EQ (d.getHeight(), 1000);
}

TEST (DesignComponentConstruction, ComboBoxItemsAndSelections)
{
    DesignComponent d;

    EXPECT_EQ (itemTexts (*d.comboBoxFilter), juce::StringArray ("None=1", "User Defined=2"));
    EXPECT_EQ (itemTexts (*d.comboBoxWindow), juce::StringArray ("None=1", "Hann=2", "Hann 50%=3"));
    EXPECT_EQ (itemTexts (*d.comboBoxWindowFilter), juce::StringArray ("None=1", "Hann=2", "Hann 50%=3"));
    EXPECT_EQ (itemTexts (*d.comboBoxTargetMagnitude), juce::StringArray ("None=1", "Flat=2", "User Defined=3"));
    EXPECT_EQ (itemTexts (*d.comboBoxTargetPhase),
               juce::StringArray ("None=1", "Phase = 0=2", "Phase = Min=3", "User Defined=4"));

    const auto sizes = itemTexts (*d.comboBoxNfft);
    ASSERT_EQ (sizes.size(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ (sizes[i], juce::String (1 << (i + 5)) + "=" + juce::String (i + 1));

    for (auto* box : { d.comboBoxFilter.get(), d.comboBoxWindow.get(), d.comboBoxWindowFilter.get(),
                       d.comboBoxTargetMagnitude.get(), d.comboBoxTargetPhase.get() })
    {
        EXPECT_EQ (box->getSelectedId(), 1) << box->getName();
        EXPECT_EQ (box->getText(), "None") << box->getName();
        EXPECT_FALSE (box->isTextEditable());
        EXPECT_EQ (box->getTextWhenNoChoicesAvailable(), "(no choices)");
    }

    EXPECT_EQ (d.comboBoxNfft->getSelectedId(), 8);
    EXPECT_EQ (d.comboBoxNfft->getText(), "4096");

    // Only the filter-response box names the empty selection.
    EXPECT_EQ (d.comboBoxFilter->getTextWhenNothingSelected(), "None");
    EXPECT_EQ (d.comboBoxWindow->getTextWhenNothingSelected(), "");
    EXPECT_EQ (d.comboBoxNfft->getTextWhenNothingSelected(), "");
}

TEST (DesignComponentConstruction, TextsAndTimeLabelsShowTheDefaultDesign)
{
    DesignComponent d;
    const std::pair<juce::Component*, const char*> texts[] = {
        { d.groupInputData.get(), "Input Data" }, { d.groupTargetResponse.get(), "Target Response" },
        { d.groupFilterResponse.get(), "Filter Response" }, { d.textButtonLoad.get(), "Load" },
        { d.textButtonDefineFilter.get(), "Define" }, { d.textButtonDefineTargetPhase.get(), "Define" },
        { d.textButtonMaxWindowShiftFilter.get(), "Max" }, { d.textButtonExport.get(), "Export" },
        { d.toggleShowMagnitude.get(), "Show Magnitudes" }, { d.toggleShowPhases.get(), "Show Phases" },
        { d.toggleMinimumPhase.get(), "Minimum Phase Design" }, { d.toggleButtonUnwarp.get(), "Unwarp Phases" },
        { d.labelShiftFilter.get(), "Shift" }, { d.labelWindow.get(), "Window" }, { d.labelWindowLength.get(), "Length" },
        { d.labelNFFT.get(), "IR Length" }, { d.labelSampleRate.get(), "Sample Rate" }, { d.labelKhz.get(), "kHz\n" },
        { d.labelInputFile.get(), "" },
        // The creation texts "0 ms" are replaced by the default design's times.
        { d.labelFs.get(), "48000.0" }, { d.labelNfftTime.get(), "85.33 ms" },
        { d.labelWindowLengthTimeFilter.get(), "85.33 ms" }, { d.labelShiftTime.get(), "0.00 ms" },
    };
    for (const auto& [component, text] : texts)
    {
        juce::String shown;
        if (auto* group = dynamic_cast<juce::GroupComponent*> (component))
            shown = group->getText();
        else if (auto* button = dynamic_cast<juce::Button*> (component))
            shown = button->getButtonText();
        else
            shown = dynamic_cast<juce::Label&> (*component).getText();
        EXPECT_EQ (shown, text) << component->getName();
    }
}

TEST (DesignComponentConstruction, EnabledStatesFollowTheNoneSelections)
{
    DesignComponent d;
    const juce::Component* disabled[] = {
        d.textButtonDefineFilter.get(), d.sliderWindowLength.get(), d.labelWindowLengthTime.get(),
        d.textButtonDefineTargetMagnitude.get(), d.textButtonDefineTargetPhase.get(),
        d.sliderWindowShiftFilter.get(), d.labelWindowShiftTimeFilter.get(), d.sliderWindowLengthFilter.get(),
        d.labelWindowLengthTimeFilter.get(), d.textButtonMaxWindowLengthFilter.get(),
        d.textButtonMaxWindowShiftFilter.get()
    };

    for (int i = 0; i < d.getNumChildComponents(); ++i)
    {
        auto* child = d.getChildComponent (i);
        const bool shouldBeDisabled = std::find (std::begin (disabled), std::end (disabled), child) != std::end (disabled);
        EXPECT_EQ (child->isEnabled(), ! shouldBeDisabled) << child->getName();
    }
}

TEST (DesignComponentConstruction, TogglesSlidersAndEditableLabels)
{
    DesignComponent d;

    EXPECT_TRUE (d.toggleShowMagnitude->getToggleState());
    EXPECT_TRUE (d.toggleShowPhases->getToggleState());
    EXPECT_FALSE (d.toggleMinimumPhase->getToggleState()); // switched on at creation, then to the design's value
    EXPECT_FALSE (d.toggleButtonUnwarp->getToggleState());

    // Shifts run from -NFFT to NFFT, lengths from 0 to NFFT, in whole samples.
    const std::pair<juce::Slider*, double> sliders[] = {
        { d.sliderShift.get(), 0.0 }, { d.sliderWindowShiftFilter.get(), 0.0 },
        { d.sliderWindowLength.get(), 4096.0 }, { d.sliderWindowLengthFilter.get(), 4096.0 }
    };
    for (const auto& [s, value] : sliders)
    {
        EXPECT_EQ (s->getValue(), value) << s->getName();
        EXPECT_EQ (s->getRange(), juce::Range<double> (value == 0.0 ? -4096.0 : 0.0, 4096.0)) << s->getName();
        EXPECT_EQ (s->getInterval(), 1.0);
        EXPECT_EQ (s->getSliderStyle(), juce::Slider::IncDecButtons);
        EXPECT_TRUE (s->isTextBoxEditable());
    }

    for (auto* child : d.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
        {
            const bool editable = label == d.labelInputFile.get() || label == d.labelFs.get();
            EXPECT_EQ (label->isEditableOnSingleClick(), editable) << label->getName();
            EXPECT_EQ (label->isEditableOnDoubleClick(), editable) << label->getName();
            EXPECT_FALSE (label->doesLossOfFocusDiscardChanges());
        }
    EXPECT_EQ (d.labelShiftTime->getJustificationType(), juce::Justification::centredRight);
}

TEST (DesignComponentConstruction, BuildingNotifiesNobodyAndComputesNothing)
{
    ProbeDesignComponent d;
    pump(); // queued notifications would reach the probe's handlers here

    EXPECT_EQ (d.handlerCalls, 0);
    EXPECT_TRUE (holdsUncomputedDefaults (d));
    EXPECT_EQ (d.NFFT, 4096u);
    EXPECT_EQ (d.fs, 48000.0);
    EXPECT_EQ (d.filterData.filterType, 1);
    EXPECT_EQ (d.versionCode, 10000);
    EXPECT_TRUE (d.inputChanged);
    EXPECT_FALSE (d.targetChanged);
    EXPECT_TRUE (d.filterChanged);
    EXPECT_FALSE (d.axesChanged);
}

TEST (DesignComponentLayout, RowsStayFixedAndTheRightEdgeFollowsTheWidth)
{
    DesignComponent d;
    d.setSize (400, 900);

    // The group boxes stack without gaps and end above the export row.
    EXPECT_EQ (d.groupInputData->getBottom(), d.groupTargetResponse->getY());
    EXPECT_EQ (d.groupTargetResponse->getBottom(), d.groupFilterResponse->getY());
    EXPECT_EQ (d.groupFilterResponse->getBounds(), juce::Rectangle<int> (0, 298, 400, 218));
    EXPECT_LT (d.groupFilterResponse->getBottom(), d.textButtonExport->getY());

    // Every right-hand button keeps a 16-pixel margin; the wide controls end 10 pixels before it.
    for (auto* b : { d.textButtonLoad.get(), d.textButtonDefineTargetMagnitude.get(),
                     d.textButtonDefineTargetPhase.get(), d.textButtonDefineFilter.get(),
                     d.textButtonMaxWindowLengthFilter.get(), d.textButtonMaxWindowShiftFilter.get() })
        EXPECT_EQ (b->getRight(), 384) << b->getName();

    EXPECT_EQ (d.comboBoxFilter->getRight(), d.textButtonDefineFilter->getX() - 10);
    EXPECT_EQ (d.comboBoxWindow->getRight(), 380);
    EXPECT_EQ (d.textButtonExport->getBounds(), juce::Rectangle<int> (16, 600, 368, 24));

    // The filter window's length row lies above its shift row, the reverse of the input window.
    EXPECT_LT (d.sliderShift->getY(), d.sliderWindowLength->getY());
    EXPECT_LT (d.sliderWindowLengthFilter->getY(), d.sliderWindowShiftFilter->getY());
}

TEST (DesignComponentLayout, NarrowWidthGivesZeroWidthsAndNegativePositions)
{
    DesignComponent d;
    d.setSize (50, 900);

    EXPECT_EQ (d.labelInputFile->getBounds(), juce::Rectangle<int> (16, 36, 0, 24));
    EXPECT_EQ (d.comboBoxWindow->getBounds(), juce::Rectangle<int> (82, 108, 0, 24));
    EXPECT_EQ (d.textButtonExport->getBounds(), juce::Rectangle<int> (16, 600, 18, 24));
    EXPECT_EQ (d.textButtonLoad->getBounds(), juce::Rectangle<int> (-30, 36, 64, 24));
    EXPECT_EQ (d.textButtonMaxWindowShiftFilter->getBounds(), juce::Rectangle<int> (-6, 442, 40, 24));
}

TEST (DesignComponentAppearance, PaintFillsWithTheWindowBackground)
{
    DesignComponent d;
    juce::LookAndFeel_V4 lookAndFeel;
    lookAndFeel.setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (0xFF123456));
    d.setLookAndFeel (&lookAndFeel);

    juce::Image image (juce::Image::ARGB, 20, 20, true);
    {
        juce::Graphics g (image);
        d.paint (g);
    }
    EXPECT_EQ (image.getPixelAt (10, 10).getARGB(), 0xFF123456u);

    d.setLookAndFeel (nullptr);
}

TEST (DesignComponentAppearance, LookAndFeelChangeReappliesThePalette)
{
    const auto saved = colourPalette;
    DesignComponent d;
    writeColourPalette (false);
    d.sendLookAndFeelChange();

    for (auto* label : { d.labelInputFile.get(), d.labelFs.get() })
    {
        EXPECT_EQ (label->findColour (juce::Label::outlineColourId), colourPalette[ColourPaletteIndex::outline]);
        EXPECT_EQ (label->findColour (juce::Label::backgroundColourId), colourPalette[ColourPaletteIndex::background]);
    }
    for (auto* button : { d.textButtonExport.get(), d.textButtonLoad.get(), d.textButtonDefineFilter.get(),
                          d.textButtonDefineTargetMagnitude.get(), d.textButtonDefineTargetPhase.get() })
    {
        EXPECT_EQ (button->findColour (juce::TextButton::buttonColourId), colourPalette[ColourPaletteIndex::accent]);
        EXPECT_EQ (button->findColour (juce::TextButton::textColourOffId), colourPalette[ColourPaletteIndex::accentText]);
    }
    // The "Max" buttons take their colours from the look-and-feel.
    EXPECT_FALSE (d.textButtonMaxWindowLengthFilter->isColourSpecified (juce::TextButton::buttonColourId));
    colourPalette = saved;
}
