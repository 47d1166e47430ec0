// hearthly-icon: draws the game's icon from the scene itself, as PNG images of the sizes asked
// for and as one scalable SVG, for the desktop's icon theme and the window.
//
// Usage: hearthly-icon OUTPUT_DIRECTORY SIZE...
// Writes hearthly-SIZE.png for each size and hearthly.svg.

#include "game/GameHost.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"
#include "tools/icon/HouseIcon.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: hearthly-icon OUTPUT_DIRECTORY SIZE...\n");
        return 2;
    }
    const std::string directory = argv[1];
    // The scene as it stands when a game starts, always the same.
    game::GameHost host;

    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 16 || size > 1024) {
            std::fprintf(stderr, "hearthly-icon: '%s' is not a size from 16 to 1024\n", argv[i]);
            return 2;
        }
        gfx::Surface image(static_cast<int>(size), static_cast<int>(size));
        {
            gfx::Graphics g(image);
            g.clear(0);
            HouseIcon::draw(host.game, g, static_cast<int>(size));
        }
        const std::string file = directory + "/hearthly-" + std::to_string(size) + ".png";
        if (image.savePng(file) != gfx::Status::Ok) {
            std::fprintf(stderr, "hearthly-icon: cannot write %s\n", file.c_str());
            return 1;
        }
    }

    // The scalable icon is laid out at 256 units; its shapes stay vectors.
    constexpr int kSvgSide = 256;
    const std::string svgFile = directory + "/hearthly.svg";
    {
        gfx::Surface document = gfx::Surface::svgDocument(svgFile, kSvgSide, kSvgSide);
        if (!document.valid()) {
            std::fprintf(stderr, "hearthly-icon: cannot write %s\n", svgFile.c_str());
            return 1;
        }
        gfx::Graphics g(document);
        HouseIcon::draw(host.game, g, kSvgSide);
        if (g.lastStatus() != gfx::Status::Ok) {
            std::fprintf(stderr, "hearthly-icon: drawing %s failed\n", svgFile.c_str());
            return 1;
        }
    }
    return 0;
}
