// Window surfaces shared through the device folder.
#include "platform/window/window_surface.h"

#include <fcntl.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/storage/device.h"

namespace plat {
namespace {

std::filesystem::path SurfaceDir() { return DeviceRoot() / ".device" / "surfaces"; }

std::filesystem::path SurfacePath(Hwnd hwnd) {
    char name[32];
    std::snprintf(name, sizeof name, "%016" PRIx64 ".px", hwnd.value);
    return SurfaceDir() / name;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool PublishSurface(Hwnd hwnd, Hdc hdc) {
    if (DeviceRoot().empty()) return false;
    HBitmap bitmap = GetCurrentBitmap(hdc);
    BitmapDesc desc;
    if (!bitmap || !GetBitmapInfo(bitmap, &desc)) return false;
    if (desc.width <= 0 || desc.height <= 0 || desc.width > kMaxSurfaceSide || desc.height > kMaxSurfaceSide)
        return false;
    SurfaceHeader header;
    header.width = desc.width;
    header.height = desc.height;
    std::vector<uint8_t> rows(static_cast<size_t>(desc.width) * static_cast<size_t>(desc.height) * 4);
    DibHeader dib;
    dib.width = desc.width;
    dib.height = -desc.height;
    dib.bitCount = 32;
    if (GetDiBits(bitmap, 0, desc.height, rows.data(), dib) != desc.height) return false;

    std::error_code ec;
    std::filesystem::create_directories(SurfaceDir(), ec);
    std::filesystem::path path = SurfacePath(hwnd);
    std::filesystem::path temporary = path;
    temporary += ".new" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, &header, sizeof header) && WriteAll(fd, rows.data(), rows.size());
    ::close(fd);
    if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

void RemoveSurface(Hwnd hwnd) {
    if (DeviceRoot().empty()) return;
    std::error_code ec;
    std::filesystem::remove(SurfacePath(hwnd), ec);
}

bool ReadSurface(Hwnd hwnd, SurfaceImage* out) {
    if (DeviceRoot().empty() || !out) return false;
    int fd = ::open(SurfacePath(hwnd).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    SurfaceHeader header;
    bool ok = ::read(fd, &header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
              header.magic == kSurfaceMagic && header.width > 0 && header.height > 0 &&
              header.width <= kMaxSurfaceSide && header.height <= kMaxSurfaceSide;
    if (ok) {
        size_t count = static_cast<size_t>(header.width) * static_cast<size_t>(header.height);
        out->pixels.assign(count, 0);
        size_t want = count * 4;
        uint8_t* p = reinterpret_cast<uint8_t*>(out->pixels.data());
        while (want > 0) {
            ssize_t n = ::read(fd, p, want);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            p += n;
            want -= static_cast<size_t>(n);
        }
        ok = want == 0;
        for (uint32_t& px : out->pixels) px &= 0x00FFFFFFu;
        out->width = header.width;
        out->height = header.height;
    }
    ::close(fd);
    return ok;
}

}  // namespace plat
