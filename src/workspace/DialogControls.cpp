#include "workspace/DialogControls.h"

#include "appearance/ColourPalette.h"
#include "workspace/ValueSlider.h"

namespace DialogControls
{
std::unique_ptr<juce::Label> makeLabel (const juce::String& componentName,
                                        const juce::String& text,
                                        juce::Justification justification)
{
    auto label = std::make_unique<juce::Label> (componentName, juce::translate (text));
    label->setFont (juce::Font (15.0f, juce::Font::plain).withTypefaceStyle ("Regular"));
    label->setJustificationType (justification);
    label->setEditable (false, false, false);
    label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    return label;
}

std::unique_ptr<juce::Slider> makeValueSlider (const juce::String& componentName,
                                               double minimum,
                                               double maximum,
                                               int textBoxWidth)
{
    auto slider = std::make_unique<ValueSlider> (componentName, sliderStep);
    slider->setLimits (minimum, maximum);
    slider->setSliderStyle (juce::Slider::IncDecButtons);
    slider->setTextBoxStyle (juce::Slider::TextBoxLeft, false, textBoxWidth, 24);
    return std::unique_ptr<juce::Slider> (std::move (slider));
}

std::unique_ptr<juce::TextButton> makeTextButton (const juce::String& componentName,
                                                  const juce::String& text)
{
    auto button = std::make_unique<juce::TextButton> (componentName);
    button->setButtonText (juce::translate (text));
    return button;
}

void colourAsAccent (juce::TextButton& button)
{
    const auto accent = colourPalette[ColourPaletteIndex::accent];
    const auto accentText = colourPalette[ColourPaletteIndex::accentText];
    button.setColour (juce::TextButton::buttonColourId, accent);
    button.setColour (juce::TextButton::buttonOnColourId, accent);
    button.setColour (juce::TextButton::textColourOffId, accentText);
    button.setColour (juce::TextButton::textColourOnId, accentText);
}

void paintFormBackground (juce::Component& form, juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff323e44));
    g.fillAll (form.getLookAndFeel().findColour (juce::AlertWindow::backgroundColourId));
}

void endModalRun (juce::Component& form, int result)
{
    if (auto* top = form.getTopLevelComponent())
        top->exitModalState (result);
}
} // namespace DialogControls
