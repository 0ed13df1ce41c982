#pragma once

/** The program's logo: a 512 x 512 PNG with an alpha channel, compiled into the program
    (assets/logo.png, drawn by tools/make-logo.sh). Decode it with juce::ImageCache::getFromMemory (pngData, pngSize). */
namespace LogoImage
{
/** The PNG file's bytes. */
extern const unsigned char pngData[];
/** Number of bytes in pngData. */
extern const int pngSize;
} // namespace LogoImage
