// picgen <output-dir>: writes the program's pictures and icon, the same bytes on every run.
//   pictures/100.dib .. pictures/130.dib   counting pictures (bitmap resources without file header)
//   pictures/die1.bmp .. pictures/die4.bmp pocket button pictures
//   icons/palinor.ico, icons/palinor.png   application icon
#include "AppIcon.h"
#include "CountingPictures.h"
#include "Formats.h"
#include "PocketPictures.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

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
        for (int count = 0; count <= highestCount; ++count)
            writeFile(pictures / (std::to_string(100 + count) + ".dib"),
                      dibResource(countingPicture(count), countingResolution(count)));
        for (int pocket = 1; pocket <= 4; ++pocket)
            writeFile(pictures / ("die" + std::to_string(pocket) + ".bmp"), bmpFile(pocketPicture(pocket)));
        const IndexedImage icon = appIcon();
        writeFile(icons / "palinor.ico", icoFile(icon));
        writeFile(icons / "palinor.png", pngFile(icon));
    } catch (const std::exception& e) {
        std::cerr << "picgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
