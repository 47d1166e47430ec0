#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace core {

// The files the game keeps for its player between runs (settings, best times): where they
// live, and reading and writing them so that neither a crash nor a full disk leaves half a file.
namespace KeptFile {

// Kept files are small; anything larger is not one of them and is read no further.
constexpr std::size_t kLargestFile = 1 << 20;

// $variable/hearthly, or $HOME/homeFallback/hearthly when the variable is unset or empty (or
// not an absolute path, as the XDG rules ask); empty when neither is there.
std::filesystem::path folder(const char* variable, const char* homeFallback);

enum class Read { Done, Missing, Failed };
// The whole file into contents. Missing: there is none; Failed: error says why (the system's
// reason, or that it is too large or not a plain file).
Read read(const std::filesystem::path& file, std::string& contents, std::string& error);

// Writes a temporary file beside the file, flushes it to the disk and renames it over the
// file, creating the folder first. On failure the old file is as it was and error says why.
bool write(const std::filesystem::path& file, std::string_view contents, std::string& error);

// Renames a file that could not be read as the game's to FILE.bad, so that the next write
// does not destroy what the player may want back. Returns the new name, or empty on failure.
std::filesystem::path setAside(const std::filesystem::path& file, std::string& error);

} // namespace KeptFile

} // namespace core
