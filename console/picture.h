// The pictures the console shows over its text: BMP files with a 40-byte
// information header, the kind the picture command writes after decoding a
// JPEG and the kind every drawing program saves.
#pragma once

#include <string>

#include "console/front_end.h"

namespace morventa {

// Reads a BMP file (a UTF-8 path). False, with *picture untouched, when the
// file cannot be read or is not such a BMP: an information header of another
// size, a depth or compression we do not draw, or fewer bytes than the header
// promises.
bool LoadBmpPicture(const std::string& path, Picture* picture);

}  // namespace morventa
