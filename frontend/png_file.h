#pragma once

#include <string>

#include "console/picture.h"

namespace frontend {

enum class PngChannels { Rgb, Rgba };

// Writes a PNG of the picture's colours (and alpha with Rgba); returns false with `error` set when the
// file cannot be written.
bool WritePng(const std::string& path, const console::Picture& picture, std::string& error,
              PngChannels channels = PngChannels::Rgb);

// Reads an 8-bit RGB or RGBA PNG (RGB reads as alpha 0xFF); returns false with `error` set otherwise.
bool ReadPng(const std::string& path, console::Picture& picture, std::string& error);

} // namespace frontend
