#pragma once
// Loading device-independent bitmap files (.bmp) into SDL surfaces, through SDL's BMP decoder.
// Paletted pictures (1, 2, 4 and 8 bits) come back as SDL_PIXELFORMAT_INDEX8 surfaces with their
// palette, holding exactly the colours of the file's table; true-colour pictures come back in the
// format SDL picks for them.
#include <cstddef>
#include <string>

#include "os/BitmapLimits.h"
#include "os/Exceptions.h"
#include "os/Surface.h"

// Loads a bitmap file. A file that cannot be opened (missing, a folder, unreadable, not a regular
// file) throws EFOpenError("Cannot open file " + FileName); anything else that fails throws
// EInvalidGraphic("Bitmap image is not valid").
TSurfacePtr LoadBitmapFile(const std::string& FileName);

// Decodes a bitmap file held in memory; throws EInvalidGraphic("Bitmap image is not valid").
TSurfacePtr LoadBitmapFromMemory(const void* Data, std::size_t Size);
