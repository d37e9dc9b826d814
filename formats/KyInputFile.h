// KyInputFile: whole files and standard input read into memory, with the
// reason when they cannot be, and how files are named in messages.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <string>

namespace KyInputFile {

/// How a path is named in messages: "standard input" for "-", else the
/// path with control characters escaped.
KYFORMATS_EXPORT std::string shownPath(const std::string& path);

/// "PATH: cannot be read: REASON" for `path`, which could not be read for
/// the errno `failure`: "no such file", "is a directory", "permission
/// denied", ...
KYFORMATS_EXPORT std::string cannotRead(const std::string& path, int failure);

/// Reads the whole file `path` ("-": standard input) into `bytes` in one
/// buffer: sized to a regular file beforehand (one byte to spare), grown
/// as it fills where the size is not known. False, with "PATH: cannot be read: REASON" in `error`
/// (no such file, is a directory, permission denied, ...), when it cannot be read; `bytes` is then
/// unspecified.
KYFORMATS_EXPORT bool read(const std::string& path, std::string& bytes, std::string& error);

/// Whether `output` names a file that exists and is the same file as
/// `input` (through links too); standard input is no file.
KYFORMATS_EXPORT bool sameFile(const std::string& output, const std::string& input);

} // namespace KyInputFile
