// Records, handles and constants of the phone's GDI-style drawing layer
// (platform/gdi/gdi.h holds the calls). Handles are small typed values handed out
// by the platform's object table; 0 is "no object". Colours are COLORREF
// values 0x00BBGGRR (red in the low byte), as the phone passes them.
#pragma once

#include <cstdint>

namespace plat {

// ---------------------------------------------------------------------------
// Handles. Each kind has its own type so that a brush cannot be passed where
// a bitmap is expected; the value packs kind, generation and table slot, so a
// deleted handle is refused even when its slot is reused.

#define TLW_GDI_HANDLE(Name)                                                 \
    struct Name {                                                            \
        uint32_t value = 0; /* packed kind, generation and slot; 0 = none */ \
        explicit operator bool() const { return value != 0; }                \
        friend bool operator==(Name a, Name b) { return a.value == b.value; } \
    }
TLW_GDI_HANDLE(Hdc);      // device context
TLW_GDI_HANDLE(HBitmap);  // bitmap (device bitmap or DIB section)
TLW_GDI_HANDLE(HBrush);   // solid or pattern brush
TLW_GDI_HANDLE(HPen);     // pen
TLW_GDI_HANDLE(HFont);    // font
TLW_GDI_HANDLE(HIcon);    // icon (mask and colour image)
#undef TLW_GDI_HANDLE

// ---------------------------------------------------------------------------
// Geometry.

// A point in device pixels.
struct Point {
    int32_t x = 0;  // column, 0 at the left
    int32_t y = 0;  // row, 0 at the top
};

// A size in pixels.
struct Size {
    int32_t cx = 0;  // width
    int32_t cy = 0;  // height
};

// A rectangle; right and bottom are exclusive, as on the phone.
struct Rect {
    int32_t left = 0;    // first column inside
    int32_t top = 0;     // first row inside
    int32_t right = 0;   // first column outside
    int32_t bottom = 0;  // first row outside
};

// ---------------------------------------------------------------------------
// Colours.

using ColorRef = uint32_t;  // 0x00BBGGRR
constexpr ColorRef Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}
constexpr uint8_t RedOf(ColorRef c) { return uint8_t(c & 0xFF); }
constexpr uint8_t GreenOf(ColorRef c) { return uint8_t((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(ColorRef c) { return uint8_t((c >> 16) & 0xFF); }
// GetPixel's answer for a point outside the bitmap or clip area.
constexpr ColorRef kClrInvalid = 0xFFFFFFFFu;

// ---------------------------------------------------------------------------
// Bitmaps.

// Describes pixels for CreateDibSection and GetDiBits: a device-independent
// bitmap of 24 bits (blue, green, red bytes) or 32 bits (blue, green, red and
// a fourth byte) per pixel, rows padded to a multiple of 4 bytes. A negative
// height means the rows run top-down (row 0 of the memory is the top row);
// a positive height means bottom-up (row 0 of the memory is the bottom row).
struct DibHeader {
    int32_t width = 0;      // pixels per row, > 0
    int32_t height = 0;     // rows; negative = top-down, positive = bottom-up
    uint16_t bitCount = 24; // 24 or 32
};

// Bytes per row of a DIB of that width and depth (padded to 4 bytes); 0 when
// the width or depth is invalid or the row would not fit 31 bits.
int32_t DibStride(int32_t width, uint16_t bitCount);

// What GetBitmapInfo tells about a bitmap.
struct BitmapDesc {
    int32_t width = 0;        // pixels per row
    int32_t height = 0;       // rows (always positive)
    int32_t stride = 0;       // bytes from one memory row to the next
    uint16_t bitCount = 0;    // 1 (monochrome), 24 or 32 (device bitmaps: 32, fourth byte unused)
    bool dibSection = false;  // made by CreateDibSection: bits are the caller's to use
    bool topDown = false;     // memory row 0 is the top row (DIB sections with negative height)
    uint8_t* bits = nullptr;  // first memory row; only for DIB sections, else nullptr
};

// ---------------------------------------------------------------------------
// Raster operations (ROP3 codes: D = destination, S = source, P = brush).
// Every one of the 256 codes works; these are the usual names.
enum : uint32_t {
    kSrcCopy = 0x00CC0020,     // S
    kSrcPaint = 0x00EE0086,    // S | D
    kSrcAnd = 0x008800C6,      // S & D
    kSrcInvert = 0x00660046,   // S ^ D
    kSrcErase = 0x00440328,    // S & ~D
    kNotSrcCopy = 0x00330008,  // ~S
    kNotSrcErase = 0x001100A6, // ~(S | D)
    kMergeCopy = 0x00C000CA,   // P & S
    kMergePaint = 0x00BB0226,  // ~S | D
    kPatCopy = 0x00F00021,     // P
    kPatPaint = 0x00FB0A09,    // P | ~S | D
    kPatInvert = 0x005A0049,   // P ^ D
    kDstInvert = 0x00550009,   // ~D
    kBlackness = 0x00000042,   // 0
    kWhiteness = 0x00FF0062,   // 1
};

// ---------------------------------------------------------------------------
// Brushes, pens, background.

enum PenStyle : int32_t { kPsSolid = 0, kPsDash = 1, kPsNull = 5 };
enum BkMode : int32_t { kTransparent = 1, kOpaque = 2 };

// Stock objects (GetStockBrush / GetStockPen / GetStockFont).
enum StockObject : int32_t {
    kWhiteBrush = 0,
    kLtGrayBrush = 1,
    kGrayBrush = 2,
    kDkGrayBrush = 3,
    kBlackBrush = 4,
    kNullBrush = 5,
    kWhitePen = 6,
    kBlackPen = 7,
    kNullPen = 8,
    kSystemFont = 13,
};

// System colours (GetSysColor / GetSysColorBrush).
enum SysColor : int32_t {
    kColorScrollbar = 0,
    kColorBackground = 1,
    kColorActiveCaption = 2,
    kColorInactiveCaption = 3,
    kColorMenu = 4,
    kColorWindow = 5,
    kColorWindowFrame = 6,
    kColorMenuText = 7,
    kColorWindowText = 8,
    kColorCaptionText = 9,
    kColorActiveBorder = 10,
    kColorInactiveBorder = 11,
    kColorAppWorkspace = 12,
    kColorHighlight = 13,
    kColorHighlightText = 14,
    kColorBtnFace = 15,
    kColorBtnShadow = 16,
    kColorGrayText = 17,
    kColorBtnText = 18,
    kColorInactiveCaptionText = 19,
    kColorBtnHighlight = 20,
    kColor3dDkShadow = 21,
    kColor3dLight = 22,
    kColorInfoText = 23,
    kColorInfoBk = 24,
    kColorStatic = 25,
    kColorStaticText = 26,
    kSysColorCount = 27,
};

// ---------------------------------------------------------------------------
// Fonts and text.

constexpr int32_t kFwNormal = 400;
constexpr int32_t kFwBold = 700;

// What a font is made from. The phone has one typeface (DejaVu Sans stands in
// for it): the weight picks regular (below 550) or bold, italic the oblique
// cut; the face name is kept but does not choose anything.
struct LogFont {
    int32_t height = 0;      // < 0: character (em) height in pixels; > 0: cell height
                             // (ascent + descent); 0: the system font's height
    int32_t weight = kFwNormal;  // 400 normal, 700 bold (0 = normal)
    bool italic = false;     // oblique cut
    bool underline = false;  // a line under the text
    char16_t faceName[32] = u"DejaVu Sans";  // kept for GetFontInfo only
};

// Measurements of the font selected in a device context.
struct TextMetrics {
    int32_t height = 0;           // ascent + descent, the line height
    int32_t ascent = 0;           // pixels above the baseline
    int32_t descent = 0;          // pixels below the baseline
    int32_t internalLeading = 0;  // height - em size
    int32_t externalLeading = 0;  // extra space suggested between lines
    int32_t aveCharWidth = 0;     // advance of "x"
    int32_t maxCharWidth = 0;     // widest advance of the face at this size
    int32_t weight = 0;           // 400 or 700
};

// DrawText format flags.
enum : uint32_t {
    kDtTop = 0x0000,
    kDtLeft = 0x0000,
    kDtCenter = 0x0001,
    kDtRight = 0x0002,
    kDtVCenter = 0x0004,     // single line only
    kDtBottom = 0x0008,      // single line only
    kDtWordBreak = 0x0010,   // break lines between words to fit the width
    kDtSingleLine = 0x0020,  // line ends are drawn as characters are not: one line
    kDtExpandTabs = 0x0040,  // tabs advance to the next multiple of 8 average widths
    kDtNoClip = 0x0100,      // draw outside the rectangle too
    kDtCalcRect = 0x0400,    // only measure: widen/heighten the rectangle, draw nothing
    kDtNoPrefix = 0x0800,    // "&" is an ordinary character
    kDtEndEllipsis = 0x8000, // a line too wide ends in "..."
};

// ExtTextOut options.
enum : uint32_t {
    kEtoOpaque = 0x0002,   // fill the rectangle with the background colour first
    kEtoClipped = 0x0004,  // clip the text to the rectangle
};

// ---------------------------------------------------------------------------
// Icons.

// What CreateIconIndirect copies an icon from. The mask is a bitmap of the
// icon's size: where a mask pixel is white (1) the screen shows through
// (XORed with the colour pixel, which is black there for a plain transparent
// pixel); where it is black (0) the colour pixel is drawn. A 32-bit colour
// DIB section whose fourth bytes are not all zero is drawn with that alpha
// instead of the mask.
struct IconInfo {
    bool icon = true;        // true icon, false cursor (drawn the same)
    int32_t xHotspot = 0;    // hot spot (cursors)
    int32_t yHotspot = 0;
    HBitmap mask;            // monochrome or colour bitmap, icon size
    HBitmap color;           // colour image, icon size; may be 0 for a mask-only icon
};

// DrawIconEx flags.
enum : uint32_t {
    kDiMask = 0x0001,    // apply the mask only (AND)
    kDiImage = 0x0002,   // apply the image only (XOR or alpha)
    kDiNormal = 0x0003,  // both: the icon as it looks
};

// ---------------------------------------------------------------------------
// Device capabilities (GetDeviceCaps).
enum DeviceCap : int32_t {
    kCapHorzRes = 8,      // width of the surface in pixels
    kCapVertRes = 10,     // height of the surface in pixels
    kCapBitsPixel = 12,   // bits per pixel of the surface
    kCapLogPixelsX = 88,  // screen dots per inch, horizontal
    kCapLogPixelsY = 90,  // screen dots per inch, vertical
};

}  // namespace plat
