// Redraws the plug-in's embedded pictures and the README picture of its face.
// Usage: ArtworkPainter <repository root> [directory of the DejaVu fonts]

#include "FacePreview.h"
#include "Fonts.h"
#include "KnobStrip.h"
#include "PedalFace.h"
#include "SmallPictures.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        file.deleteFile();

        juce::FileOutputStream out (file);
        juce::PNGImageFormat png;

        if (! out.openedOk() || ! png.writeImageToStream (image, out))
            return false;

        std::cout << file.getFullPathName() << "  " << image.getWidth() << " x " << image.getHeight()
                  << (image.hasAlphaChannel() ? "  RGBA" : "  RGB") << std::endl;
        return true;
    }

    // Draws a picture, writes it and reads it back, so the preview shows the bytes that ship.
    juce::Image paint (const juce::File& artworkDirectory, const char* name, const juce::Image& picture)
    {
        const auto file = artworkDirectory.getChildFile (juce::String (name) + ".png");

        if (! writePng (picture, file))
            return {};

        return juce::ImageFileFormat::loadFrom (file);
    }
}

int main (int argc, char* argv[])
{
    if (argc < 2)
    {
        std::cerr << "usage: ArtworkPainter <repository root> [font directory]" << std::endl;
        return 2;
    }

    const juce::File root (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File fontDirectory (argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu");

    juce::ScopedJuceInitialiser_GUI gui;

    const art::Fonts fonts (fontDirectory);

    if (! fonts.isComplete())
    {
        std::cerr << "fonts " << fonts.describeMissing() << " (Debian package fonts-dejavu-core)" << std::endl;
        return 1;
    }

    const auto directory = root.getChildFile ("artwork");
    art::Artwork artwork;
    artwork.previousArrow = paint (directory, "previousArrowImage", art::drawArrow (false));
    artwork.nextArrow = paint (directory, "nextArrowImage", art::drawArrow (true));
    artwork.knobStrip = paint (directory, "knobStripImage", art::drawKnobStrip());
    artwork.dimmedLogo = paint (directory, "dimmedLogoImage", art::drawDimmedLogo (fonts));
    artwork.background = paint (directory, "backgroundPanelImage", art::drawBackgroundPanel (fonts));
    artwork.playlistLabel = paint (directory, "playlistLabelImage", art::drawPlaylistLabel (fonts));
    artwork.channelLogo = paint (directory, "channelLogoImage", art::drawChannelLogo (fonts));
    artwork.blank = paint (directory, "blankImage", art::drawBlank());

    for (const auto& image : { artwork.previousArrow, artwork.nextArrow, artwork.knobStrip, artwork.dimmedLogo,
                               artwork.background, artwork.playlistLabel, artwork.channelLogo, artwork.blank })
    {
        if (! image.isValid())
        {
            std::cerr << "could not write or read back a picture in " << directory.getFullPathName() << std::endl;
            return 1;
        }
    }

    return writePng (art::drawFacePreview (artwork), root.getChildFile ("docs/face.png")) ? 0 : 1;
}
