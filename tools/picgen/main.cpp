// picgen <output-dir>: writes the program's pictures and icon, the same bytes on every run.
//   pictures/100.png .. pictures/130.png       counting pictures
//   pictures/die1.png .. pictures/die4.png     pocket button pictures
//   the same names with "@2x" before the dot  both sets drawn again at twice the size
//   icons/palinor-16.png .. palinor-512.png    application icon at each size
//   icons/palinor.ico                          the icon for Windows: the PNGs of 16 to 256 pixels
#include "AppIcon.h"
#include "CountingPictures.h"
#include "Formats.h"
#include "PocketPictures.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace palinor::picgen;

namespace {

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: picgen <output-dir>\n";
        return 2;
    }
    try {
        const fs::path pictures = fs::path(argv[1]) / "pictures";
        const fs::path icons = fs::path(argv[1]) / "icons";
        fs::create_directories(pictures);
        fs::create_directories(icons);
        for (int count = 0; count <= highestCount; ++count) {
            const std::string name = std::to_string(100 + count);
            writeFile(pictures / (name + ".png"), pngFile(countingPicture(count)));
            writeFile(pictures / (name + "@2x.png"), pngFile(countingPicture(count, 2)));
        }
        for (int pocket = 1; pocket <= 4; ++pocket) {
            const std::string name = "die" + std::to_string(pocket);
            writeFile(pictures / (name + ".png"), pngFile(pocketPicture(pocket)));
            writeFile(pictures / (name + "@2x.png"), pngFile(pocketPicture(pocket, 2)));
        }
        std::vector<int> sides;
        std::vector<Bytes> forWindows;
        for (int size : appIconSizes) {
            const Bytes png = pngFile(appIcon(size));
            writeFile(icons / ("palinor-" + std::to_string(size) + ".png"), png);
            if (size <= 256) {
                sides.push_back(size);
                forWindows.push_back(png);
            }
        }
        writeFile(icons / "palinor.ico", icoFile(sides, forWindows));
    } catch (const std::exception& e) {
        std::cerr << "picgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
