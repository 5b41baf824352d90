// Surfaces of the display component: the wrapper of a platform surface with its
// pixel format, pixel packing and reading, copies and bitmap loading; the
// off-screen surface that programs create for their pictures; and the keeper
// through which the display restores, rebuilds and releases it.
#pragma once

#include "platform/ddraw.h"
#include "platform/rect.h"
#include "platform/stream.h"

#include <cstdint>
#include <string>

class TDDDD;

class TDDDDGenSurface {
public:
    // Wraps a platform surface (or none) and holds the reference given until it
    // goes; the display uses it for its primary surface, back buffer and depth buffer.
    TDDDDGenSurface(TDDDD* DDDD, RefPtr<IDirectDrawSurface7> DDSurface, int32_t Width, int32_t Height);
    virtual ~TDDDDGenSurface() = default;
    TDDDDGenSurface(const TDDDDGenSurface&) = delete;
    TDDDDGenSurface& operator=(const TDDDDGenSurface&) = delete;

    void SetPixelFormat(const DDPIXELFORMAT& Format);
    uint32_t MakeColor(uint8_t A, uint8_t R, uint8_t G, uint8_t B) const;
    uint32_t GetPixel(int32_t X, int32_t Y);
    void SetColorKey(uint32_t Color);
    bool IsLost();
    void Restore();

    HRESULT Blt(TDDDDGenSurface* Source, const Rect& DestRect, const Rect& SourceRect, uint32_t Flags,
                const DDBLTFX& Effects);
    HRESULT BltFast(TDDDDGenSurface* Source, int32_t X, int32_t Y, const Rect& SourceRect, uint32_t Flags);

    virtual void LoadBMP(const std::string& FileName);
    virtual void LoadBMP(const std::string& ArchiveName, const std::string& ItemName);
    void LoadBMP(Stream& Stream);

    RefPtr<IDirectDrawSurface7> DDSurface;
    int32_t Width = 0;
    int32_t Height = 0;
    DDSURFACEDESC2 SurfaceDesc;
    TDDDD* DDDD = nullptr;
    uint32_t ColorKey = 0;
    Rect ClipRect;
    bool UseClip = false;
    DDSURFACEDESC2 LockDesc;
    bool Locked = false;

    struct Channel {
        uint32_t Mask = 0;
        uint32_t Loss = 8;
        uint32_t Shift = 32;
    };
    Channel Alpha, Red, Green, Blue;

protected:
    TDDDDGenSurface() = default;

private:
    Rect clipRegion() const;
    void loadTrueColorOntoPalette(Stream& stream, int64_t start);
};

class TDDDDSurface : public TDDDDGenSurface {
public:
    // Creates an off-screen surface placed by the display's SurfaceLocation and
    // registers it with the display.
    TDDDDSurface(TDDDD* DDDD, int32_t Width, int32_t Height, uint32_t ColorKey);
    ~TDDDDSurface() override;

    using TDDDDGenSurface::LoadBMP;
    void LoadBMP(const std::string& FileName) override;
    void LoadBMP(const std::string& ArchiveName, const std::string& ItemName) override;

    bool FromArchive = false;
    std::string FileName;
    std::string ArchiveName;
    std::string ItemName;
};

class TDDDDSurfaceKeeper {
public:
    enum class Kind { Surface, Texture };
    TDDDDSurfaceKeeper(TDDDD* DDDD, TDDDDSurface* Surface, Kind kind = Kind::Surface);

    void RestoreSurface();
    void RebuildSurface(int index);
    void ReleaseSurface(int index);

    TDDDD* DDDD;
    TDDDDSurface* Surface;
    int32_t Width;
    int32_t Height;
    int32_t ScreenBits;

private:
    void reloadPicture();
    Kind kind_;
};
