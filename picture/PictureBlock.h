// The steps of the picture object that need no device: loading a file's
// block through the picture library, reading its facts, making a resized
// copy, and handing a block to a device context. The picture object is
// built on them, and so are the album's cell workers, which run them off
// the window thread (hence no GDI here except DrawPictureBlock, which only
// the window thread calls).
#pragma once

#include <windows.h>

namespace picture {

// What the header of a block says.
struct Facts {
    int width = 0;
    int height = 0;
    int planes = 0;
    int bitCount = 0;
    int colours = 0;    // colour table entries; 0 for 16 bits and more
};

// The file's type (FileType's answer), then its block from the type's
// loader, refused unless well formed. *status is PIC_OK, PIC_ERR_FILE_TYPE,
// PIC_ERR_LAYOUT or the library's error number; null when nothing loaded.
HGLOBAL LoadBlock(const char* path, int* fileType, int* status);
// The same for a file whose type is known.
HGLOBAL LoadBlockOfType(int fileType, const char* path, int* status);

// The facts of a locked block.
Facts ReadFacts(const BYTE* block);

// A new block of newWidth x newHeight (0 or more each) with the source's
// headers and colour table and its pixels by the nearest-neighbour rule;
// null with *status PIC_ERR_ALLOC or PIC_ERR_LOCK when it cannot be made.
HGLOBAL ResizedBlock(const BYTE* source, int newWidth, int newHeight, int* status);

// A copy of a 24-bit block with four bytes a pixel (blue, green, red, 0):
// what a 32-bit screen shows of it, pixel for pixel, but handed over
// without conversion. Null when it cannot be made.
HGLOBAL WidenedTo32Bits(const BYTE* block24);

// Bytes of the colour table that precedes the rows: 4 per colour up to 8
// bits per pixel.
int PaletteBytes(const Facts& facts);

// Draws a locked block unscaled with its top-left corner at (x, y);
// returns the rows drawn, as StretchDIBits does.
int DrawBlock(HDC dc, const BYTE* block, int x, int y);

}  // namespace picture
