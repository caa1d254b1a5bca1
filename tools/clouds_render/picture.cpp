// Back-buffer readback, contact-sheet layout and PNG writing through stb.
#include "picture.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace clouds_render {

namespace {

constexpr uint8_t SheetBackground[3] = {40, 40, 40}; // gap colour, darker than any sky

} // namespace

Picture ReadBackBuffer(int width, int height) {
    Picture p;
    p.width = width;
    p.height = height;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> bottomUp(row * static_cast<size_t>(height));

    // Read what the frame drew before the swap; leave the context as the frame left it.
    GLint readBuffer = GL_BACK, packAlignment = 4;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));

    // GL gives the bottom row first; pictures are stored top row first.
    p.rgb.resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&p.rgb[static_cast<size_t>(y) * row],
                    &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
    return p;
}

Picture ComposeSheet(const std::vector<Picture>& cells) {
    Picture sheet;
    if (cells.empty()) return sheet;
    const int cw = cells.front().width, ch = cells.front().height;
    const int count = static_cast<int>(cells.size());
    const int across = count < SheetColumns ? count : SheetColumns;
    const int down = (count + SheetColumns - 1) / SheetColumns;
    sheet.width = across * cw + (across + 1) * SheetGap;
    sheet.height = down * ch + (down + 1) * SheetGap;
    const size_t sheetRow = static_cast<size_t>(sheet.width) * 3;
    sheet.rgb.resize(sheetRow * static_cast<size_t>(sheet.height));
    for (size_t i = 0; i < sheet.rgb.size(); i += 3)
        std::memcpy(&sheet.rgb[i], SheetBackground, 3);

    for (int n = 0; n < count; ++n) {
        const Picture& cell = cells[static_cast<size_t>(n)];
        if (cell.width != cw || cell.height != ch) continue;
        const int left = SheetGap + (n % SheetColumns) * (cw + SheetGap);
        const int top = SheetGap + (n / SheetColumns) * (ch + SheetGap);
        const size_t cellRow = static_cast<size_t>(cw) * 3;
        for (int y = 0; y < ch; ++y)
            std::memcpy(
                &sheet.rgb[static_cast<size_t>(top + y) * sheetRow + static_cast<size_t>(left) * 3],
                &cell.rgb[static_cast<size_t>(y) * cellRow], cellRow);
    }
    return sheet;
}

std::string WritePng(const std::string& path, const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3)
        return "cannot write " + path + ": no picture";
    errno = 0;
    if (!stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                        picture.width * 3)) {
        const int err = errno;
        return "cannot write " + path +
               (err ? std::string(": ") + std::strerror(err) : std::string());
    }
    return "";
}

std::string NumberedPath(const std::string& path, int number) {
    const std::filesystem::path p(path);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%04d", number);
    std::filesystem::path numbered =
        p.parent_path() / (p.stem().string() + suffix + p.extension().string());
    return numbered.string();
}

} // namespace clouds_render
