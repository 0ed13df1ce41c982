#include "app/AboutDialog.h"

#include "app/LogoImage.h"
#include "design/Version.h"

namespace
{
const char* const productLine = "Talvo - FIR Filter Design Software";
const char* const authorName = "the Talvo developers";
} // namespace

juce::Image AboutDialog::getLogo()
{
    return juce::ImageCache::getFromMemory (LogoImage::pngData, LogoImage::pngSize);
}

juce::String AboutDialog::getText()
{
    return juce::String (productLine) + "\n\nVersion " + versionString
         + "\nBuilt on " + __DATE__ + " @ " + __TIME__
         + "\n\nBy " + authorName;
}

void AboutDialog::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::AlertWindow::backgroundColourId));
    g.drawImageWithin (getLogo(), getWidth() / 2 - logoSize / 2, logoTop, logoSize, logoSize,
                       juce::RectanglePlacement::centred);
    g.setColour (getLookAndFeel().findColour (juce::DocumentWindow::textColourId));
    g.setFont (fontHeight);
    g.drawMultiLineText (getText(), 0, textBaseline, getWidth(), juce::Justification::centred);
}
