// Draws the desktop icon from the first fortress's sprite, cell for pixel, so
// the icon is always the fortress the game shows. The black background cells
// (code 5) become transparent. Writes a 64 x 64 RGBA PNG; the image data goes
// into stored (uncompressed) deflate blocks, which every PNG reader takes, so
// no compression library is needed.
//
// Usage: zendorak_fortress_icon OUTPUT.png
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

#include "battlefield/sprites.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void appendBigEndian32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t crc32(const Bytes& bytes, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

std::uint32_t adler32(const Bytes& bytes) {
    constexpr std::uint32_t modulus = 65521;
    std::uint32_t low = 1;
    std::uint32_t high = 0;
    for (std::uint8_t byte : bytes) {
        low = (low + byte) % modulus;
        high = (high + low) % modulus;
    }
    return (high << 16) | low;
}

// A chunk's CRC covers its type and data, not its length.
void appendChunk(Bytes& png, std::string_view type, const Bytes& data) {
    appendBigEndian32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    appendBigEndian32(png, crc32(png, typeStart));
}

// A zlib stream of stored deflate blocks, each at most 65535 bytes long.
Bytes storedZlib(const Bytes& raw) {
    Bytes stream{0x78, 0x01};
    constexpr std::size_t blockLimit = 65535;
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(blockLimit, raw.size() - offset);
        const bool last = offset + length == raw.size();
        stream.push_back(last ? 1 : 0);
        stream.push_back(static_cast<std::uint8_t>(length & 0xFF));
        stream.push_back(static_cast<std::uint8_t>(length >> 8));
        stream.push_back(static_cast<std::uint8_t>(~length & 0xFF));
        stream.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
        stream.insert(stream.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                      raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    appendBigEndian32(stream, adler32(raw));
    return stream;
}

Bytes fortressPng(const Sprite& sprite) {
    // Each row starts with filter type 0 (none), then RGBA per pixel.
    Bytes raw;
    for (int row = 0; row < sprite.height; ++row) {
        raw.push_back(0);
        for (int column = 0; column < sprite.width; ++column) {
            const ColourCode code = sprite.at(row, column);
            const Colour colour = colourCodes.at(static_cast<std::size_t>(code));
            const bool transparent = code == emptyCode || code == absentCode;
            raw.push_back(static_cast<std::uint8_t>(colour >> 16));
            raw.push_back(static_cast<std::uint8_t>(colour >> 8));
            raw.push_back(static_cast<std::uint8_t>(colour));
            raw.push_back(transparent ? 0 : 0xFF);
        }
    }
    Bytes header;
    appendBigEndian32(header, static_cast<std::uint32_t>(sprite.width));
    appendBigEndian32(header, static_cast<std::uint32_t>(sprite.height));
    constexpr std::array<std::uint8_t, 5> format{
        8,  // bits per channel
        6,  // colour type: RGBA
        0,  // compression: deflate
        0,  // filter method: adaptive
        0,  // no interlace
    };
    header.insert(header.end(), format.begin(), format.end());

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: zendorak_fortress_icon OUTPUT.png\n", stderr);
        return 2;
    }
    const Bytes png = fortressPng(fortressSprite1);
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "zendorak_fortress_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
