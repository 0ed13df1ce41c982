#include "appearance/lafMorvelane.h"

#include "appearance/ColourPalette.h"
#include "appearance/ColoursLight.h"
#include "plots/FigureComponent.h"

void lafMorvelane::applyColourScheme()
{
    const auto& p = colourPalette;

    setColour (juce::ResizableWindow::backgroundColourId,
               lightMode ? p[windowBackground] : juce::Colour (0xFF0A0A0A));
    setColour (juce::DocumentWindow::textColourId, p[text]);

    setColour (juce::AlertWindow::backgroundColourId, p[background]);
    setColour (juce::AlertWindow::textColourId, p[text]);
    setColour (juce::AlertWindow::outlineColourId, p[outline]);

    setColour (juce::ComboBox::backgroundColourId, p[background]);
    setColour (juce::ComboBox::outlineColourId, p[outline]);
    setColour (juce::ComboBox::textColourId, p[text]);
    setColour (juce::ComboBox::buttonColourId, p[secondaryText]);
    setColour (juce::ComboBox::arrowColourId, p[text]);
    setColour (juce::ComboBox::focusedOutlineColourId, p[transparent]);

    setColour (juce::GroupComponent::outlineColourId, p[outline]);
    setColour (juce::GroupComponent::textColourId, p[text]);

    setColour (juce::Label::backgroundColourId, p[transparent]);
    setColour (juce::Label::textColourId, p[text]);
    setColour (juce::Label::outlineColourId, p[transparent]);
    setColour (juce::Label::backgroundWhenEditingColourId, p[transparent]);
    setColour (juce::Label::textWhenEditingColourId, p[text]);
    setColour (juce::Label::outlineWhenEditingColourId, p[transparent]);

    setColour (juce::ListBox::backgroundColourId, p[background]);
    setColour (juce::ListBox::outlineColourId, p[outline]);
    setColour (juce::ListBox::textColourId, p[text]);

    setColour (juce::PopupMenu::backgroundColourId, p[background]);
    setColour (juce::PopupMenu::textColourId, p[text]);
    setColour (juce::PopupMenu::headerTextColourId, p[text]);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, p[buttonBackground]);
    setColour (juce::PopupMenu::highlightedTextColourId, p[highlightedText]);

    setColour (juce::Slider::backgroundColourId, p[background]);
    setColour (juce::Slider::thumbColourId, juce::Colour (0xFFFF7B45));
    setColour (juce::Slider::trackColourId, juce::Colours::white);
    setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xFF282828));
    setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colour (0xFF282828));
    setColour (juce::Slider::textBoxTextColourId, p[text]);
    setColour (juce::Slider::textBoxBackgroundColourId, p[background]);
    setColour (juce::Slider::textBoxHighlightColourId, p[secondaryText]);
    setColour (juce::Slider::textBoxOutlineColourId, p[outline]);

    setColour (juce::TableHeaderComponent::backgroundColourId, p[background]);
    setColour (juce::TableHeaderComponent::textColourId, p[text]);
    setColour (juce::TableHeaderComponent::outlineColourId, p[outline]);
    setColour (juce::TableHeaderComponent::highlightColourId, p[selectedRow]);

    setColour (juce::TextButton::buttonColourId, p[buttonBackground]);
    setColour (juce::TextButton::buttonOnColourId, p[buttonBackground]);
    setColour (juce::TextButton::textColourOffId, p[text]);
    setColour (juce::TextButton::textColourOnId, p[text]);

    setColour (juce::TextEditor::backgroundColourId, p[background]);
    setColour (juce::TextEditor::textColourId, p[text]);
    setColour (juce::TextEditor::highlightedTextColourId, p[text]);
    setColour (juce::TextEditor::outlineColourId, p[transparent]);
    setColour (juce::TextEditor::focusedOutlineColourId, p[transparent]);
    setColour (juce::TextEditor::shadowColourId, p[shadow]);

    setColour (juce::ToggleButton::textColourId, p[text]);
    setColour (juce::ToggleButton::tickColourId, p[outline]);
    setColour (juce::ToggleButton::tickDisabledColourId, p[outline]);

    setColour (FigureComponent::backgroundColourId, p[background]);
    setColour (FigureComponent::gridColourId, p[gridLines]);
    setColour (FigureComponent::tickColourId, p[secondaryText]);
    setColour (FigureComponent::textColourId, p[secondaryText]);
}

void lafMorvelane::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                         const juce::Colour& backgroundColour,
                                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto cornerSize = 2.0f;
    const auto bounds = button.getLocalBounds().toFloat().reduced (0.5f, 0.5f);

    // isEnabled() is false also when any parent is disabled.
    auto baseColour = button.isEnabled()
                          ? backgroundColour.withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                          : colourPalette[buttonBackground];

    if (shouldDrawButtonAsDown || shouldDrawButtonAsHighlighted)
        baseColour = baseColour.contrasting (shouldDrawButtonAsDown ? 0.2f : 0.05f);

    g.setColour (baseColour);

    const auto flatOnLeft = button.isConnectedOnLeft();
    const auto flatOnRight = button.isConnectedOnRight();
    const auto flatOnTop = button.isConnectedOnTop();
    const auto flatOnBottom = button.isConnectedOnBottom();

    if (flatOnLeft || flatOnRight || flatOnTop || flatOnBottom)
    {
        juce::Path path;
        path.addRoundedRectangle (bounds.getX(), bounds.getY(), bounds.getWidth(), bounds.getHeight(),
                                  cornerSize, cornerSize,
                                  ! (flatOnLeft || flatOnTop), ! (flatOnRight || flatOnTop),
                                  ! (flatOnLeft || flatOnBottom), ! (flatOnRight || flatOnBottom));
        g.fillPath (path);
        g.strokePath (path, juce::PathStrokeType (1.0f));
    }
    else
    {
        g.fillRoundedRectangle (bounds, cornerSize);
        g.drawRoundedRectangle (bounds, cornerSize, 1.0f);
    }
}

void lafMorvelane::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto font = getTextButtonFont (button, button.getHeight());
    g.setFont (font);

    if (button.isEnabled())
        g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                                : juce::TextButton::textColourOffId));
    else
        g.setColour (colourPalette[secondaryText]);

    const int yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const int cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const int fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const int leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const int rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const int textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(), leftIndent, yIndent, textWidth,
                          button.getHeight() - yIndent * 2, juce::Justification::centred, 2);
}

void lafMorvelane::drawLabel (juce::Graphics& g, juce::Label& label)
{
    g.fillAll (label.findColour (juce::Label::backgroundColourId));

    if (! label.isBeingEdited())
    {
        const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
        const auto font = getLabelFont (label);

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        g.setFont (font);

        const auto textArea = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());
        g.drawFittedText (label.getText(), textArea, label.getJustificationType(),
                          juce::jmax (1, (int) ((float) textArea.getHeight() / font.getHeight())),
                          label.getMinimumHorizontalScale());

        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRoundedRectangle (label.getLocalBounds().toFloat(), 6.0f, 2.0f);
}

void lafMorvelane::drawStretchableLayoutResizerBar (juce::Graphics& g, int, int, bool,
                                                    bool isMouseOver, bool isMouseDragging)
{
    if (! (isMouseOver || isMouseDragging))
        return;

    // The divider keeps the lime of the scheme whatever the palette holds.
    g.fillAll (juce::Colour (lightMode ? ColoursLight::lime06 : ColoursLight::lime04));
}

void lafMorvelane::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    LookAndFeel_V4::positionComboBoxText (box, label);
    label.setMinimumHorizontalScale (minimumTextScale);
}

void lafMorvelane::drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent& header,
                                          const juce::String& columnName, int columnId, int width, int height,
                                          bool isMouseOver, bool isMouseDown, int columnFlags)
{
    constexpr int sortFlags = juce::TableHeaderComponent::sortedForwards | juce::TableHeaderComponent::sortedBackwards;

    if ((columnFlags & sortFlags) == 0)
    {
        LookAndFeel_V4::drawTableHeaderColumn (g, header, columnName, columnId, width, height, isMouseOver,
                                               isMouseDown, columnFlags);
        return;
    }

    // The framework keeps a square of half the height at the right, inside a 4-pixel margin, for the
    // arrow: it draws the rest as an unsorted column that ends where the square starts.
    const int arrowSide = height / 2;
    LookAndFeel_V4::drawTableHeaderColumn (g, header, columnName, columnId, width - arrowSide, height, isMouseOver,
                                           isMouseDown, columnFlags & ~sortFlags);

    const bool ascending = (columnFlags & juce::TableHeaderComponent::sortedForwards) != 0;
    const float baseY = ascending ? 0.8f : 0.0f, tipY = ascending ? 0.0f : 0.8f;
    juce::Path arrow;
    arrow.addTriangle (0.0f, baseY, 0.5f, tipY, 1.0f, baseY);
    const auto square = juce::Rectangle<int> (width - 4 - arrowSide, 0, arrowSide, height).reduced (2).toFloat();

    g.setColour (header.findColour (juce::TableHeaderComponent::textColourId));
    g.fillPath (arrow, arrow.getTransformToScaleToFit (square, true));
}

void lafMorvelane::drawGroupComponentOutline (juce::Graphics& g, int width, int height,
                                              const juce::String& text, const juce::Justification& position,
                                              juce::GroupComponent& group)
{
    const juce::Font font (15.0f);

    const float x = 3.0f;
    const float y = font.getAscent() - 3.0f;
    const float w = juce::jmax (0.0f, (float) width - 6.0f);
    const float h = juce::jmax (0.0f, (float) height - y - 3.0f);
    const float cs = juce::jmin (5.0f, w * 0.5f, h * 0.5f);

    float titleWidth = 0.0f;

    if (text.isNotEmpty())
        titleWidth = juce::jlimit (0.0f, juce::jmax (0.0f, w - cs * 2.0f - 8.0f),
                                   std::ceil (font.getStringWidthFloat (text)) + 8.0f);

    float titleX = cs + 4.0f;

    if (position.testFlags (juce::Justification::horizontallyCentred))
        titleX = cs + (w - cs * 2.0f - titleWidth) * 0.5f;
    else if (position.testFlags (juce::Justification::right))
        titleX = w - cs - titleWidth - 4.0f;

    g.setColour (colourPalette[groupBackground]);
    g.fillRect (x, y - 7.5f, w, h + cs);

    g.setColour (group.findColour (juce::GroupComponent::textColourId)
                     .withMultipliedAlpha (group.isEnabled() ? 1.0f : 0.5f));
    g.setFont (font);
    g.drawText (text, juce::roundToInt (x + titleX), (int) (cs * 2.0f), juce::roundToInt (titleWidth), 15,
                juce::Justification::centred, true);
}
