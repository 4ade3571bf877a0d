// DibBlock: a movable global memory block owning one packed device-independent bitmap, laid
// out as a bitmap resource stores it. Every operation accepts a null block (and then returns
// 0, null or false) and reads nothing beyond the block's allocated size.
#pragma once
#include <windows.h>

namespace pinnafex {

using DibBlock = HGLOBAL;

DibBlock LoadDibResource(HINSTANCE instance, LPCSTR name);
DibBlock CopyDibBlock(DibBlock block);
void FreeDibBlock(DibBlock block);

int DibBitCount(DibBlock block);
int DibWidth(DibBlock block);
int DibHeight(DibBlock block);  // absolute: the number of rows

// Colour-table entries of a header whose 40 bytes are readable.
DWORD DibColorCount(const BITMAPINFOHEADER* header);

// Palette from the colour table of a locked block of `blockSize` bytes; null when the image
// has no colour table or the table does not fit the block.
HPALETTE CreatePaletteFromInfo(const BITMAPINFOHEADER* header, SIZE_T blockSize);
HPALETTE CreateDibPalette(DibBlock block);

// Draws the whole image upright at its own size with its upper-left corner at (x, y).
// False for a null block, a block whose rows do not fit it, or a failed draw.
bool DrawDib(DibBlock block, HDC dc, int x, int y);

}  // namespace pinnafex
