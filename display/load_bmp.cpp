// LoadBMP: a bitmap file, from disk, an archive item or a stream, converted row by
// row into a surface's pixel format.
#include "display/dddd.h"
#include "display/debug_log.h"
#include "display/qdarc.h"
#include "platform/bitmap_reader.h"
#include "platform/little_endian.h"
#include "platform/pixel_loops.h"
#include "platform/scope_guard.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// Packs colours into a surface's format through one table per channel, each the
// channel's value shifted as MakeColor does.
struct ColorPacker {
    std::array<uint32_t, 256> alpha, red, green, blue;

    explicit ColorPacker(const TDDDDGenSurface& surface)
    {
        for (int v = 0; v < 256; ++v) {
            const auto b = static_cast<uint8_t>(v);
            alpha[v] = surface.MakeColor(b, 0, 0, 0);
            red[v] = surface.MakeColor(0, b, 0, 0);
            green[v] = surface.MakeColor(0, 0, b, 0);
            blue[v] = surface.MakeColor(0, 0, 0, b);
        }
    }
    uint32_t pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) const
    {
        return alpha[a] | red[r] | green[g] | blue[b];
    }
};

uint32_t scale5(uint32_t v) { return (v << 3) | (v >> 2); }

// Converts count source pixels of SourceBytes each into packed pixels of DestBytes.
template <int SourceBytes, int DestBytes>
void convertRow(const uint8_t* source, uint8_t* dest, int64_t count, const ColorPacker& packer, const uint8_t* palette)
{
    for (int64_t x = 0; x < count; ++x) {
        const uint8_t* s = source + x * SourceBytes;
        uint32_t value;
        if constexpr (SourceBytes == 1) {
            const uint8_t* entry = palette + *s * 4;
            value = packer.pack(255, entry[2], entry[1], entry[0]);
        } else if constexpr (SourceBytes == 2) {
            const uint32_t v = readLE16(s);
            value = packer.pack((v & 0x8000) ? 255 : 0, scale5((v >> 10) & 31), scale5((v >> 5) & 31), scale5(v & 31));
        } else if constexpr (SourceBytes == 3) {
            value = packer.pack(255, s[2], s[1], s[0]);
        } else {
            value = packer.pack(s[3], s[2], s[1], s[0]);
        }
        pixel_loops::Pixel<DestBytes>::store(dest + x * DestBytes, value);
    }
}

void convertRow(int sourceBytes, int destBytes, const uint8_t* source, uint8_t* dest, int64_t count,
                const ColorPacker& packer, const uint8_t* palette)
{
    pixel_loops::dispatchBytes(sourceBytes, [&]<int S>() {
        pixel_loops::dispatchBytes(destBytes, [&]<int D>() { convertRow<S, D>(source, dest, count, packer, palette); });
    });
}

// Surfaces whose red, green and blue are whole bytes at bits 16, 8 and 0 (X8R8G8B8,
// and A8R8G8B8 with alpha in the top byte): pixels are the file's bytes in place,
// no per-channel packing. False when the surface has another layout.
bool convertRowToRgb32(int sourceBytes, const uint8_t* source, uint8_t* destBytes, int64_t count,
                       const TDDDDGenSurface& surface)
{
    const bool rgb32 = surface.Red.Mask == 0xFF0000 && surface.Green.Mask == 0xFF00 && surface.Blue.Mask == 0xFF &&
                       (surface.Alpha.Mask == 0 || surface.Alpha.Mask == 0xFF000000);
    if (!rgb32 || (sourceBytes != 3 && sourceBytes != 4)) return false;
    const uint32_t alphaMask = surface.Alpha.Mask;
    auto* dest = reinterpret_cast<uint32_t*>(destBytes);  // surface rows are 4-byte aligned
    int64_t x = 0;
    if (sourceBytes == 3) {
        // Four pixels a step: a byte shuffle spreads 12 bytes (B G R ...) to four words,
        // with zero in each top byte. The 16-byte load stays within the row.
        using Bytes16 = uint8_t __attribute__((vector_size(16)));
        using Words4 = uint32_t __attribute__((vector_size(16)));
        const Bytes16 zero{};
        const Words4 alpha = {alphaMask, alphaMask, alphaMask, alphaMask};
        for (; x + 6 <= count; x += 4) {
            Bytes16 in;
            std::memcpy(&in, source + 3 * x, sizeof in);
            const Bytes16 spread =
                __builtin_shufflevector(in, zero, 0, 1, 2, 16, 3, 4, 5, 16, 6, 7, 8, 16, 9, 10, 11, 16);
            const Words4 out = reinterpret_cast<const Words4&>(spread) | alpha;
            std::memcpy(dest + x, &out, sizeof out);
        }
        for (; x < count; ++x) {
            const uint8_t* s = source + 3 * x;
            dest[x] = alphaMask | s[0] | (s[1] << 8) | (static_cast<uint32_t>(s[2]) << 16);
        }
    } else {
        for (; x < count; ++x) {
            uint32_t v;
            std::memcpy(&v, source + 4 * x, 4);
            dest[x] = v & (0xFFFFFF | alphaMask);
        }
    }
    return true;
}

// Copies a surface row into the count rows above it on the surface, which lie below
// it in memory. Rows whose whole pitch is written are copied in doubling blocks, so
// millions of one-pixel rows take a few dozen copies.
void repeatRowUpwards(uint8_t* row, int64_t pitch, int64_t rowBytes, int64_t count)
{
    if (rowBytes < pitch) {
        for (int64_t i = 1; i <= count; ++i) std::memcpy(row - i * pitch, row, static_cast<size_t>(rowBytes));
        return;
    }
    uint8_t* filled = row;  // the lowest row in memory already holding the copy
    for (int64_t have = 1; count > 0;) {
        const int64_t rowsNow = std::min(have, count);
        std::memcpy(filled - rowsNow * pitch, filled, static_cast<size_t>(rowsNow * pitch));
        filled -= rowsNow * pitch;
        have += rowsNow;
        count -= rowsNow;
    }
}

// What the headers say of the stored rows, and the bytes stored from the first one on.
struct FileRows {
    int32_t width;
    uint32_t height;  // negative heights read as huge row counts
    uint32_t bitCount;
    int64_t storedBytes;
};

// How the file's rows land on the locked surface: what is read of each stored row,
// what is written to each surface row, and how many rows are read and repeated.
struct RowLayout {
    int sourceBytes;  // of a file pixel
    int destBytes;  // of a surface pixel
    bool rawIndices;  // palette indices onto a palette surface, copied as they are
    int64_t pixels;  // converted in each row
    int64_t sourceStride;  // a stored row with its padding
    int64_t sourceUsed;  // read of each stored row; the rest is skipped
    int64_t bytesPerRow;  // of each surface row, padding included
    int64_t packedBytes;  // of converted pixels; the rest of a written row is zeros
    int64_t surfaceRows;  // the surface's rows, the first stored row landing on the last
    int64_t rows;  // surface rows filled
    int64_t readRows;  // rows read from the stream; the others repeat the last of them
    int64_t rowBytesWritten;  // of each surface row filled, as the repeat copies it
};

RowLayout rowLayout(const FileRows& file, bool paletteSurface, const DDSURFACEDESC2& locked, int32_t width,
                    int32_t height)
{
    RowLayout layout;
    layout.sourceBytes = static_cast<int>(file.bitCount / 8);
    layout.destBytes = paletteSurface ? 1 : static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount / 8);
    const int64_t fileWidth = std::max(file.width, 0);
    layout.sourceStride = (fileWidth * layout.sourceBytes + 3) & ~int64_t{3};
    const int64_t destRowLength = (fileWidth * layout.destBytes + 3) & ~int64_t{3};
    layout.bytesPerRow = std::min<int64_t>(destRowLength, locked.lPitch);
    // Only as many pixels as both the file and the surface hold are converted; the
    // source buffer holds just those, the rest of each stored row is skipped.
    layout.pixels = std::min<int64_t>({fileWidth, width, static_cast<int64_t>(locked.dwWidth)});
    layout.rawIndices = paletteSurface && layout.sourceBytes == 1;
    layout.sourceUsed =
        std::min(layout.sourceStride, layout.rawIndices ? layout.bytesPerRow : layout.pixels * layout.sourceBytes);
    layout.packedBytes = layout.pixels * layout.destBytes;

    layout.surfaceRows = std::min<int64_t>(height, locked.dwHeight);
    layout.rows = std::min<int64_t>(layout.surfaceRows, file.height);
    // Only the rows the file holds are read, one cut short by its end included (and
    // one at least, from the zeroed row buffer). Each row after them would read nothing
    // and so repeat the row before; they are copied without asking the stream, so a
    // header claiming millions of rows costs no more than filling the surface.
    const int64_t storedRows =
        layout.sourceStride > 0 ? (file.storedBytes + layout.sourceStride - 1) / layout.sourceStride : layout.rows;
    layout.readRows = std::min(layout.rows, std::max<int64_t>(storedRows, 1));
    layout.rowBytesWritten = layout.rawIndices ? layout.sourceUsed : std::max(layout.bytesPerRow, layout.packedBytes);
    return layout;
}

// Reads the stored rows from the stream's position into the locked surface, packed
// into its format, and repeats the last of them over the rows the file lacks.
void copyRows(Stream& stream, const RowLayout& layout, const DDSURFACEDESC2& locked, const TDDDDGenSurface& surface,
              const uint8_t* palette)
{
    std::vector<uint8_t> sourceRow(static_cast<size_t>(layout.sourceUsed));
    const ColorPacker packer(surface);
    const uint8_t* previous = sourceRow.data();  // the bytes of the row read last
    auto* const surfaceBytes = static_cast<uint8_t*>(locked.lpSurface);
    // Rows are stored bottom-up: the first lands on the last row of the surface.
    int64_t y = 0;
    for (; y < layout.readRows; ++y) {
        uint8_t* surfaceRow = surfaceBytes + (layout.surfaceRows - 1 - y) * locked.lPitch;
        // Whole rows held in memory are converted where they lie; others go through the row buffer.
        const uint8_t* source = layout.rawIndices ? nullptr : stream.readInPlace(layout.sourceUsed);
        if (!source) {
            // A short read keeps the rest of the last row, as the row buffer would.
            if (layout.sourceUsed > 0 && previous != sourceRow.data())
                std::memcpy(sourceRow.data(), previous, static_cast<size_t>(layout.sourceUsed));
            if (stream.read(sourceRow.data(), layout.sourceUsed) < 0) {
                DebugLog("LoadBMP中に、読み込みエラーが発生しました");
                break;
            }
            source = sourceRow.data();
        }
        if (layout.sourceStride > layout.sourceUsed &&
            stream.seek(layout.sourceStride - layout.sourceUsed, SeekOrigin::Current) < 0) {
            DebugLog("LoadBMP中に、読み込みエラーが発生しました");
            break;
        }
        previous = source;
        if (layout.rawIndices) {
            std::copy(sourceRow.begin(), sourceRow.end(), surfaceRow);
            continue;
        }
        // Packed straight into the surface row.
        if (layout.destBytes != 4 || !convertRowToRgb32(layout.sourceBytes, source, surfaceRow, layout.pixels, surface))
            convertRow(layout.sourceBytes, layout.destBytes, source, surfaceRow, layout.pixels, packer, palette);
        std::fill(surfaceRow + layout.packedBytes, surfaceRow + std::max(layout.bytesPerRow, layout.packedBytes),
                  uint8_t{0});
    }
    if (y == layout.readRows && layout.rows > layout.readRows)
        repeatRowUpwards(surfaceBytes + (layout.surfaceRows - layout.readRows) * locked.lPitch, locked.lPitch,
                         layout.rowBytesWritten, layout.rows - layout.readRows);
}

}  // namespace

void TDDDDGenSurface::LoadBMP(const std::string& FileName)
{
    auto file = FileStream::openRead(FileName);
    if (!file) {
        DebugLog(FileName + "が、見つかりません");
        return;
    }
    LoadBMP(*file);
}

void TDDDDGenSurface::LoadBMP(const std::string& ArchiveName, const std::string& ItemName)
{
    std::unique_ptr<MemoryStream> item;
    try {
        item = QDALoadFromFile(ArchiveName, ItemName);
    } catch (const std::exception&) {
        DebugLog("アーカイブからのビットマップの読み取りに失敗しました");
        return;
    }
    LoadBMP(*item);
}

void TDDDDGenSurface::loadTrueColorOntoPalette(Stream& stream, int64_t start)
{
    stream.setPosition(start);
    const auto bitmap = readBitmap(stream);
    if (!bitmap) {
        DebugLog("不正なビットマップです");
        return;
    }
    DrawingContext* context = nullptr;
    if (CheckResult(DDSurface->GetDC(&context), "サーフェスのデバイスコンテキストの取得に失敗しました") != DD_OK)
        return;
    const ScopeGuard releaseContext([&] { DDSurface->ReleaseDC(context); });
    context->drawBitmap(*bitmap, 0, 0);
}

void TDDDDGenSurface::LoadBMP(Stream& stream)
{
    if (!DDSurface || IsLost()) return;
    const int64_t start = stream.position();
    uint8_t fileHeader[bmp::FileHeaderSize];
    if (!stream.readExact(fileHeader, sizeof fileHeader)) {
        DebugLog("ビットマップの読みこみ中に、エラーが発生しました");
        return;
    }
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        DebugLog("不正なBMPファイルです");
        return;
    }
    uint8_t info[bmp::InfoHeaderSize];
    if (!stream.readExact(info, sizeof info)) {
        DebugLog("LoadBMP中に、読み込みエラーが発生しました");
        return;
    }
    const uint32_t pixelOffset = readLE32(fileHeader + bmp::PixelOffsetAt);
    const auto fileWidth = static_cast<int32_t>(readLE32(info + bmp::WidthAt));
    const uint32_t fileHeight = readLE32(info + bmp::HeightAt);
    const uint32_t bitCount = readLE16(info + bmp::BitCountAt);
    if (bitCount < 8 || bitCount > 32) {
        CheckResult(1, "色数が8ビット～32ビットの範囲のビットマップを、LoadBMPには指定してください");
        return;
    }
    const bool paletteSurface = (SurfaceDesc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    if (paletteSurface && bitCount > 8) {
        loadTrueColorOntoPalette(stream, start);
        return;
    }

    // The palette read takes 1024 bytes whatever the file holds; a short one keeps zeros.
    std::array<uint8_t, 1024> palette{};
    if (stream.read(palette.data(), palette.size()) < 0) {
        DebugLog("LoadBMP中に、読み込みエラーが発生しました");
        return;
    }
    stream.setPosition(start + pixelOffset);

    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    if (CheckResult(DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr),
                    "LoadBMP中にサーフェスがロックできませんでした") != DD_OK)
        return;
    const ScopeGuard unlock(
        [&] { CheckResult(DDSurface->Unlock(nullptr), "LoadBMP中にサーフェスがアンロックできませんでした"); });

    const FileRows file{fileWidth, fileHeight, bitCount, std::max<int64_t>(0, stream.size() - stream.position())};
    copyRows(stream, rowLayout(file, paletteSurface, desc, Width, Height), desc, *this, palette.data());
}
