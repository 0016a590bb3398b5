// Draws Taspo's data files: the target image button.bmp, the window icon taspo.ico and the same
// icon as PNGs for desktop menus (taspo-16.png, taspo-32.png, taspo-48.png). All picture the same
// round red button, shaded from one light at the top left; the output is byte for byte the same
// on every run, so the committed files can be checked against this tool. Given sizes, it draws
// only the icon PNGs of those sizes (the browser build's web app icons, taspo-192.png and
// taspo-512.png, made at build time).
//
// Usage: make_assets <output-dir> [icon-size...]
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgb {
    int red;
    int green;
    int blue;
};

// The game draws the target with this colour left out.
const Rgb Magenta = {0xFF, 0x00, 0xFF};
const int ButtonSize = 101;  // 303 bytes of pixels a row: one filler byte ends each row
const int IconSizes[] = {16, 32, 48};

// ---- The picture ----------------------------------------------------------------------------

// The button's colours from its darkest shade to the highlight. Every one is far from magenta:
// green is never below red's tenth and blue stays under green, so no edge can look like the key.
const Rgb Ramp[] = {
    {0x50, 0x08, 0x04},  // the rim in shadow
    {0xB8, 0x18, 0x0C},  // the face away from the light
    {0xF0, 0x50, 0x14},  // the lit face
    {0xFF, 0xA0, 0x40},  // toward the highlight
    {0xFF, 0xF4, 0xD8},  // the highlight
};
const int RampStops = sizeof(Ramp) / sizeof(Ramp[0]);

int Mix(int from, int to, double amount) {
    return static_cast<int>(from + (to - from) * amount + 0.5);
}

// The colour of shade `level` out of `levels` (0 the darkest, levels the brightest).
Rgb RampColour(int level, int levels) {
    double position = static_cast<double>(level) / levels * (RampStops - 1);
    int stop = static_cast<int>(position);
    if (stop >= RampStops - 1) {
        return Ramp[RampStops - 1];
    }
    double amount = position - stop;
    const Rgb& low = Ramp[stop];
    const Rgb& high = Ramp[stop + 1];
    return {Mix(low.red, high.red, amount), Mix(low.green, high.green, amount),
            Mix(low.blue, high.blue, amount)};
}

// The shade of the button at the centre of pixel (x, y), y from the top, of a size-by-size
// picture, from 0 to 1; negative outside the disc. The face is lit as a shallow dome; a band
// at the edge is a darker rim. Only + - * / and sqrt, so every compiler computes the same bits.
double ButtonShade(int x, int y, int size) {
    double radius = size * 0.46;
    double rim = size * 0.07 < 1.0 ? 1.0 : size * 0.07;
    double dx = (x + 0.5 - size * 0.5) / radius;
    double dy = (y + 0.5 - size * 0.5) / radius;
    double distance2 = dx * dx + dy * dy;
    if (distance2 > 1.0) {
        return -1.0;
    }
    // Normal of a dome flattened to a third of its height, against a light from the top left.
    double nz = std::sqrt(1.0 - distance2) / 3.0;
    double length = std::sqrt(dx * dx + dy * dy + nz * nz);
    double lightX = -0.48, lightY = -0.60, lightZ = 0.64;
    double diffuse = (dx * lightX + dy * lightY + nz * lightZ) / length;
    if (diffuse < 0.0) {
        diffuse = 0.0;
    }
    // A small highlight up and left of the centre.
    double hx = dx + 0.38, hy = dy + 0.42;
    double spot = 1.0 - (hx * hx + hy * hy) / 0.06;
    double highlight = spot > 0.0 ? spot * spot : 0.0;

    bool onRim = std::sqrt(distance2) * radius > radius - rim;
    double shade = onRim ? 0.05 + 0.25 * diffuse : 0.28 + 0.45 * diffuse + 0.35 * highlight;
    return shade > 1.0 ? 1.0 : shade;
}

// The shade as one of `levels` + 1 steps.
int ShadeLevel(double shade, int levels) {
    return static_cast<int>(shade * levels + 0.5);
}

// ---- Little-endian writing --------------------------------------------------------------------

void Put16(Bytes* out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutPadding(Bytes* out, size_t rowStart) {
    while ((out->size() - rowStart) % 4 != 0) {
        out->push_back(0);
    }
}

// Rows of a bottom-up DIB are padded to four bytes.
uint32_t Stride(int width, int bitsPerPixel) {
    return static_cast<uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

// BITMAPINFOHEADER: 40 bytes, uncompressed, a full colour table when there is one.
void PutInfoHeader(Bytes* out, int width, int height, int bitsPerPixel, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dots per inch, as pixels per metre
    Put32(out, 2835);
    Put32(out, 0);  // colours used: all that the depth allows
    Put32(out, 0);
}

// ---- button.bmp ---------------------------------------------------------------------------

Bytes MakeButtonBmp() {
    const int size = ButtonSize;
    const uint32_t headerSize = 14 + 40;
    uint32_t imageSize = Stride(size, 24) * size;

    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(&out, headerSize + imageSize);
    Put32(&out, 0);  // two reserved words
    Put32(&out, headerSize);
    PutInfoHeader(&out, size, size, 24, imageSize);
    for (int y = size - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < size; ++x) {
            double shade = ButtonShade(x, y, size);
            Rgb colour = shade < 0.0 ? Magenta : RampColour(ShadeLevel(shade, 255), 255);
            out.push_back(static_cast<uint8_t>(colour.blue));
            out.push_back(static_cast<uint8_t>(colour.green));
            out.push_back(static_cast<uint8_t>(colour.red));
        }
        PutPadding(&out, rowStart);
    }
    return out;
}

// ---- taspo.ico ----------------------------------------------------------------------------

// An icon image is a DIB of twice its height: the colour (XOR) rows, then the 1-bit AND mask whose
// set bits are transparent. Palette entry 0 is black, the colour that transparent pixels carry;
// the others are the button's ramp in `colours` - 1 steps.
Bytes MakeIconImage(int size, int bitsPerPixel) {
    const int colours = 1 << bitsPerPixel;
    const int levels = colours - 2;
    uint32_t xorSize = Stride(size, bitsPerPixel) * size;
    uint32_t andSize = Stride(size, 1) * size;

    Bytes out;
    PutInfoHeader(&out, size, size * 2, bitsPerPixel, xorSize + andSize);
    out.insert(out.end(), 4, 0);
    for (int level = 0; level <= levels; ++level) {
        Rgb colour = RampColour(level, levels);
        out.push_back(static_cast<uint8_t>(colour.blue));
        out.push_back(static_cast<uint8_t>(colour.green));
        out.push_back(static_cast<uint8_t>(colour.red));
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        int pending = 0;  // index bits not yet written, for 4-bit rows
        for (int x = 0; x < size; ++x) {
            double shade = ButtonShade(x, y, size);
            int index = shade < 0.0 ? 0 : 1 + ShadeLevel(shade, levels);
            if (bitsPerPixel == 8) {
                out.push_back(static_cast<uint8_t>(index));
            } else if (x % 2 == 0) {
                pending = index << 4;
            } else {
                out.push_back(static_cast<uint8_t>(pending | index));
            }
        }
        if (bitsPerPixel == 4 && size % 2 != 0) {
            out.push_back(static_cast<uint8_t>(pending));
        }
        PutPadding(&out, rowStart);
    }
    for (int y = size - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < size; x += 8) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8 && x + bit < size; ++bit) {
                if (ButtonShade(x + bit, y, size) < 0.0) {
                    bits |= static_cast<uint8_t>(0x80 >> bit);
                }
            }
            out.push_back(bits);
        }
        PutPadding(&out, rowStart);
    }
    return out;
}

// ICONDIR, one ICONDIRENTRY per image, then the images: every size in 16 colours, then in 256.
Bytes MakeIcon() {
    std::vector<Bytes> images;
    std::vector<int> sizes;
    std::vector<int> depths;
    for (int bitsPerPixel : {4, 8}) {
        for (int size : IconSizes) {
            images.push_back(MakeIconImage(size, bitsPerPixel));
            sizes.push_back(size);
            depths.push_back(bitsPerPixel);
        }
    }

    Bytes out;
    Put16(&out, 0);  // reserved
    Put16(&out, 1);  // an icon, not a cursor
    Put16(&out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(depths[i] == 4 ? 16 : 0));  // 0 stands for 256
        out.push_back(0);
        Put16(&out, 1);  // planes
        Put16(&out, static_cast<uint32_t>(depths[i]));
        Put32(&out, static_cast<uint32_t>(images[i].size()));
        Put32(&out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

// ---- taspo-<size>.png -----------------------------------------------------------------------

void PutBig32(Bytes* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out->push_back(static_cast<uint8_t>(value >> shift));
    }
}

uint32_t Crc32(const uint8_t* bytes, size_t length) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(Bytes* out, const char* type, const Bytes& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    size_t typeStart = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    PutBig32(out, Crc32(out->data() + typeStart, out->size() - typeStart));
}

// A zlib stream of stored (uncompressed) deflate blocks: the icons are small, and no compressor
// means nothing that could differ between machines.
Bytes ZlibStored(const Bytes& data) {
    Bytes out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t length = data.size() - at < 65535 ? data.size() - at : 65535;
        out.push_back(at + length == data.size() ? 1 : 0);  // BFINAL on the last, BTYPE 00
        Put16(&out, static_cast<uint32_t>(length));
        Put16(&out, static_cast<uint32_t>(~length & 0xFFFF));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < data.size());
    uint32_t a = 1, b = 0;  // Adler-32
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(&out, (b << 16) | a);
    return out;
}

// 8-bit RGBA, the button in the full ramp as button.bmp has it, transparent outside the disc.
Bytes MakeIconPng(int size) {
    Bytes header;
    PutBig32(&header, static_cast<uint32_t>(size));
    PutBig32(&header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // depth, RGBA, deflate, no filter, no interlace
    Bytes rows;
    for (int y = 0; y < size; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < size; ++x) {
            double shade = ButtonShade(x, y, size);
            Rgb colour = shade < 0.0 ? Rgb{0, 0, 0} : RampColour(ShadeLevel(shade, 255), 255);
            rows.insert(
                rows.end(),
                {static_cast<uint8_t>(colour.red), static_cast<uint8_t>(colour.green),
                 static_cast<uint8_t>(colour.blue), static_cast<uint8_t>(shade < 0.0 ? 0 : 255)});
        }
    }
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(&out, "IHDR", header);
    PutChunk(&out, "IDAT", ZlibStored(rows));
    PutChunk(&out, "IEND", {});
    return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WriteIconPng(const std::string& directory, int size) {
    return WriteFile(directory + "/taspo-" + std::to_string(size) + ".png", MakeIconPng(size));
}

// An icon size from the command line, a whole number of pixels from 1 to 1024; 0 for anything else.
int IconSize(const char* text) {
    char* end = nullptr;
    long size = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || size < 1 || size > 1024) {
        std::fprintf(stderr,
                     "make_assets: icon size \"%s\": expected a whole number from 1 to 1024\n",
                     text);
        return 0;
    }
    return static_cast<int>(size);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_assets <output-dir> [icon-size...]\n");
        return 2;
    }
    std::string directory = argv[1];
    if (argc > 2) {
        for (int i = 2; i < argc; ++i) {
            int size = IconSize(argv[i]);
            if (size == 0) {
                return 2;
            }
            if (!WriteIconPng(directory, size)) {
                return 1;
            }
        }
        return 0;
    }
    bool written = WriteFile(directory + "/button.bmp", MakeButtonBmp()) &&
                   WriteFile(directory + "/taspo.ico", MakeIcon());
    for (int size : IconSizes) {
        written = written && WriteIconPng(directory, size);
    }
    return written ? 0 : 1;
}
