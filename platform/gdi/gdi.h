// The phone's GDI-style drawing: device contexts, bitmaps, brushes, pens,
// fonts, text and icons (records and constants in platform/gdi/gdi_types.h).
//
// Sections: screen settings · device contexts · bitmaps and DIB sections ·
// block transfers · brushes and pens · shapes and pixels · fonts and text ·
// icons.
//
// Objects live in one table of this process, guarded by a mutex; every call
// may come from any thread. A call given a handle that is not (or no longer)
// an object of the right kind fails (false / 0 / kClrInvalid) with the last
// error kErrorInvalidHandle; bad arguments give kErrorInvalidParameter.
//
// Pixel formats: a device bitmap (CreateCompatibleBitmap with a colour DC,
// window surfaces) holds 24-bit colour in 4-byte pixels; a DIB section holds
// the 24- or 32-bit layout its header asks for, at an address the caller may
// read and write directly; monochrome bitmaps hold 1 bit per pixel. The
// screen is 24-bit colour.
//
// As on the phone, a new memory DC holds a 1 x 1 monochrome bitmap, so
// CreateCompatibleBitmap(memoryDc, ...) before selecting a colour bitmap into
// it gives a MONOCHROME bitmap: make bitmaps compatible with the screen
// (CreateCompatibleBitmap(Hdc{}, w, h)) or with a window DC instead.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/gdi_types.h"

namespace plat {

// ---------------------------------------------------------------------------
// Screen settings (set from the device model; defaults 240 x 320 at 96 dpi).

void SetScreenDpi(int32_t dpiX, int32_t dpiY);
int32_t GetScreenDpiX();
int32_t GetScreenDpiY();
void SetScreenSize(int32_t width, int32_t height);
Size GetScreenSize();

// System colours and their brushes (stock brushes: never deleted).
ColorRef GetSysColor(int32_t index);
HBrush GetSysColorBrush(int32_t index);
void SetSysColor(int32_t index, ColorRef color);

// ---------------------------------------------------------------------------
// Device contexts.

// A memory DC compatible with hdc (or with the screen for Hdc{}): starts with
// the 1 x 1 monochrome stock bitmap, white brush, black pen, system font,
// black text on white, opaque background, brush origin (0, 0).
Hdc CreateCompatibleDC(Hdc hdc);
// The drawing surface of a window until the compositor exists: a DC that
// owns its own width x height colour bitmap (cleared to white). Its bitmap
// cannot be replaced with SelectObject; DeleteDC frees it.
Hdc CreateOffscreenDC(int32_t width, int32_t height);
// Frees a DC (its selected objects stay alive; an off-screen DC's surface
// goes with it).
bool DeleteDC(Hdc hdc);

// Pushes the DC's state (selected objects, colours, modes, brush origin,
// clip rectangle, current position); returns the new depth (>= 1) or 0.
int32_t SaveDC(Hdc hdc);
// Restores the state saved at depth `level` (> 0) or `-level` saves back
// (< 0, -1 = the last save), dropping the saves above it.
bool RestoreDC(Hdc hdc, int32_t level);

// SelectObject returns the object it replaced (0 on failure). A bitmap can be
// selected into one memory DC at a time, and never into an off-screen DC.
HBitmap SelectObject(Hdc hdc, HBitmap bitmap);
HBrush SelectObject(Hdc hdc, HBrush brush);
HPen SelectObject(Hdc hdc, HPen pen);
HFont SelectObject(Hdc hdc, HFont font);
// The object currently selected (GetCurrentObject). For an off-screen DC the
// bitmap is its surface.
HBitmap GetCurrentBitmap(Hdc hdc);
HBrush GetCurrentBrush(Hdc hdc);
HPen GetCurrentPen(Hdc hdc);
HFont GetCurrentFont(Hdc hdc);

// Deletes a bitmap, brush, pen or font. Fails while it is selected into a DC.
// Stock objects are left alone and report success.
bool DeleteObject(HBitmap bitmap);
bool DeleteObject(HBrush brush);
bool DeleteObject(HPen pen);
bool DeleteObject(HFont font);

// Attributes; each setter returns the previous value (kClrInvalid / 0 on a
// bad handle).
ColorRef SetTextColor(Hdc hdc, ColorRef color);
ColorRef GetTextColor(Hdc hdc);
ColorRef SetBkColor(Hdc hdc, ColorRef color);
ColorRef GetBkColor(Hdc hdc);
int32_t SetBkMode(Hdc hdc, int32_t mode);  // kTransparent or kOpaque
int32_t GetBkMode(Hdc hdc);
// Brush origin in device pixels: a pattern brush's pixel (0, 0) lands on it
// and the pattern repeats from there. *previous gets the old one.
bool SetBrushOrg(Hdc hdc, int32_t x, int32_t y, Point* previous = nullptr);
Point GetBrushOrg(Hdc hdc);

// Clipping: every drawing call is limited to the DC's clip rectangle (the
// whole surface by default).
bool IntersectClipRect(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom);
bool ResetClipRect(Hdc hdc);  // back to the whole surface
Rect GetClipBox(Hdc hdc);

int32_t GetDeviceCaps(Hdc hdc, int32_t index);

// ---------------------------------------------------------------------------
// Bitmaps and DIB sections.

// A colour bitmap compatible with hdc: monochrome when hdc's selected bitmap
// is monochrome (see the note at the top), 24-bit colour otherwise; Hdc{}
// means the screen. Contents start black.
HBitmap CreateCompatibleBitmap(Hdc hdc, int32_t width, int32_t height);
// A bitmap of 1 or 32 (also 24) bits per pixel; `bits` (may be null: black)
// holds rows top-down, each padded to a multiple of 2 bytes, 1 = white for
// monochrome, blue-green-red(-x) bytes for colour.
HBitmap CreateBitmap(int32_t width, int32_t height, uint32_t planes, uint32_t bitCount,
                     const void* bits);
// A DIB section as the header describes it (24 or 32 bits, top-down for a
// negative height). *bits receives the pixel memory: |height| rows of
// DibStride(width, bitCount) bytes, in the header's row order, bytes blue,
// green, red (then the fourth byte for 32 bits), all zero at first. The
// memory belongs to the bitmap and stays valid until DeleteObject.
HBitmap CreateDibSection(Hdc hdc, const DibHeader& header, uint8_t** bits);
// Everything about a bitmap, including the pixel address of a DIB section.
bool GetBitmapInfo(HBitmap bitmap, BitmapDesc* out);
// The pixels of a DIB section: the same as GetBitmapInfo, but fails for a
// device or monochrome bitmap (those have no address the caller may use).
bool GetDibSectionPixels(HBitmap bitmap, BitmapDesc* out);
// Copies rows of any bitmap out as a DIB of the header's width, depth and
// row order (GetDIBits): rows [startRow, startRow + rowCount) counted from
// the bottom for a bottom-up header and from the top for a top-down one go
// to `bits` (rowCount rows of DibStride bytes). The header's width must equal
// the bitmap's. Returns the number of rows copied (0 on failure); rows beyond
// the bitmap are not copied.
int32_t GetDiBits(HBitmap bitmap, int32_t startRow, int32_t rowCount, uint8_t* bits,
                  const DibHeader& header);
// The reverse (SetDIBits): writes rows given in the header's layout.
int32_t SetDiBits(HBitmap bitmap, int32_t startRow, int32_t rowCount, const uint8_t* bits,
                  const DibHeader& header);

// A bitmap made from the content of a ".bmp" file (BITMAPFILEHEADER and
// BITMAPINFOHEADER; 1, 4, 8, 24 or 32 bits, uncompressed or bit fields):
// a 24-bit device bitmap (monochrome for a 1-bit file with a black and white
// palette). 0 with kErrorInvalidParameter for malformed data.
HBitmap CreateBitmapFromBmp(const uint8_t* data, size_t size);
// A BITMAP resource of a module (platform/gdi/resources.h) as a bitmap.
HBitmap LoadBitmap(std::u16string_view module, std::u16string_view name);

// ---------------------------------------------------------------------------
// Block transfers. Coordinates are clipped to both bitmaps and the
// destination's clip rectangle. A monochrome source drawn on colour takes
// the destination DC's text colour for 0 bits and background colour for 1
// bits; a colour source drawn on monochrome gives 1 where it equals the
// source DC's background colour, 0 elsewhere.

bool BitBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src, int32_t xSrc,
            int32_t ySrc, uint32_t rop);
// Stretches by nearest neighbour (destination pixel centres sampled in the
// source); negative widths or heights mirror.
bool StretchBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src,
                int32_t xSrc, int32_t ySrc, int32_t widthSrc, int32_t heightSrc, uint32_t rop);
// Copies (stretching by nearest neighbour) every source pixel except those
// of the transparent colour (TransparentImage).
bool TransparentBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src,
                    int32_t xSrc, int32_t ySrc, int32_t widthSrc, int32_t heightSrc,
                    ColorRef transparent);
// Fills with the selected brush combined by a ROP without source (kPatCopy,
// kPatInvert, kDstInvert, kBlackness, kWhiteness).
bool PatBlt(Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop);

// ---------------------------------------------------------------------------
// Brushes and pens.

HBrush CreateSolidBrush(ColorRef color);
// A brush repeating a copy of the bitmap (the bitmap may be deleted after).
// A monochrome bitmap paints 0 bits in the DC's text colour and 1 bits in its
// background colour. The pattern is aligned to the DC's brush origin.
HBrush CreatePatternBrush(HBitmap bitmap);
HBrush GetStockBrush(int32_t which);
// Solid brush colour, or kClrInvalid for a pattern or null brush.
ColorRef GetBrushColor(HBrush brush);

// A pen of kPsSolid, kPsDash (width 1 only) or kPsNull; width 0 means 1.
// Wider pens draw a square of that size centred on each point.
HPen CreatePen(int32_t style, int32_t width, ColorRef color);
HPen GetStockPen(int32_t which);

// ---------------------------------------------------------------------------
// Shapes and pixels. Shapes use the selected pen for outlines and the
// selected brush for insides; lines exclude their end point.

bool MoveToEx(Hdc hdc, int32_t x, int32_t y, Point* previous = nullptr);
bool LineTo(Hdc hdc, int32_t x, int32_t y);
bool Polyline(Hdc hdc, const Point* points, int32_t count);
// Outline on the rectangle's edge pixels (left .. right-1, top .. bottom-1),
// inside filled with the brush.
bool Rectangle(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The same with corners rounded by an ellipse of width x height.
bool RoundRect(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom,
               int32_t ellipseWidth, int32_t ellipseHeight);
bool Ellipse(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Fills with the given brush (not selected; patterns follow the brush origin).
bool FillRect(Hdc hdc, const Rect& rect, HBrush brush);
// A one-pixel frame inside the rectangle with the given brush.
bool FrameRect(Hdc hdc, const Rect& rect, HBrush brush);
// Inverts the colours of the rectangle.
bool InvertRect(Hdc hdc, const Rect& rect);

// Returns the colour actually set (nearest the bitmap holds), kClrInvalid
// outside.
ColorRef SetPixel(Hdc hdc, int32_t x, int32_t y, ColorRef color);
ColorRef GetPixel(Hdc hdc, int32_t x, int32_t y);

// ---------------------------------------------------------------------------
// Fonts and text (FreeType, greyscale anti-aliased, no kerning). Text is
// UTF-16; characters the face lacks draw as its missing-glyph box.

HFont CreateFontIndirect(const LogFont& font);
// The stock system font: height -(9 x vertical dpi / 72) pixels, weight 400.
HFont GetStockFont(int32_t which);
bool GetFontInfo(HFont font, LogFont* out);  // GetObject for fonts
bool GetTextMetrics(Hdc hdc, TextMetrics* out);

// Width of the text in the selected font, height = the font's line height.
bool GetTextExtentPoint(Hdc hdc, std::u16string_view text, Size* out);
// How many leading characters fit into maxWidth (GetTextExtentExPoint);
// *size gets the extent of the whole text.
bool GetTextExtentExPoint(Hdc hdc, std::u16string_view text, int32_t maxWidth, int32_t* fit,
                          Size* size);

// Draws text with its top-left corner (cell top, not baseline) at (x, y).
// With kOpaque the text's cell is filled with the background colour first.
bool TextOut(Hdc hdc, int32_t x, int32_t y, std::u16string_view text);
// TextOut with options: kEtoOpaque fills `rect` (may be null) with the
// background colour, kEtoClipped clips the text to it.
bool ExtTextOut(Hdc hdc, int32_t x, int32_t y, uint32_t options, const Rect* rect,
                std::u16string_view text);
// Formats text in a rectangle by the kDt... flags: alignment, vertical
// centring and bottom (single line), word breaking, line ends "\n" / "\r\n",
// tab expansion, "&" prefixes (underlining the next character, "&&" = "&"),
// end ellipsis, clipping to the rectangle unless kDtNoClip. Returns the
// height of the text drawn (0 on failure). With kDtCalcRect nothing is drawn
// and *rect gets the text's extent (right and bottom adjusted).
int32_t DrawText(Hdc hdc, std::u16string_view text, Rect* rect, uint32_t format);

// ---------------------------------------------------------------------------
// Icons.

// Copies the bitmaps of info (the caller keeps and deletes its bitmaps).
HIcon CreateIconIndirect(const IconInfo& info);
// New bitmaps holding the icon's mask and colour image (the caller deletes
// them): a monochrome mask, and a 32-bit DIB section with alpha for colour.
bool GetIconInfo(HIcon icon, IconInfo* out);
Size GetIconSize(HIcon icon);
bool DestroyIcon(HIcon icon);
// An icon from the content of a ".ico" file: the entry nearest width x height
// (0 = the first entry's size), BMP-coded (1, 4, 8, 24 or 32 bits, mask
// after the pixels) or PNG-coded, scaled to the asked size when none matches.
HIcon CreateIconFromIco(const uint8_t* data, size_t size, int32_t width, int32_t height);
// An ICON resource of a module.
HIcon LoadIcon(std::u16string_view module, std::u16string_view name, int32_t width,
               int32_t height);
bool DrawIcon(Hdc hdc, int32_t x, int32_t y, HIcon icon);
// Draws scaled to width x height (0 = the icon's size) with kDi... flags.
bool DrawIconEx(Hdc hdc, int32_t x, int32_t y, HIcon icon, int32_t width, int32_t height,
                uint32_t flags);

}  // namespace plat
