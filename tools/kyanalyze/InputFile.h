// InputFile: whole files and standard input read into memory, with the
// reason when they cannot be.
#pragma once

#include <string>

namespace kyanalyze {

/// How a path is named in messages: "standard input" for "-", else the
/// path with control characters escaped.
std::string shownPath(const std::string& path);

/// Reads the whole file `path` ("-": standard input) into `bytes` in one
/// buffer. False, with "PATH: cannot be read: REASON" in `error` (no such
/// file, is a directory, permission denied, ...), when it cannot be read.
bool readInput(const std::string& path, std::string& bytes, std::string& error);

/// Whether `output` names a file that exists and is the same file as
/// `input` (through links too); standard input is no file.
bool sameFile(const std::string& output, const std::string& input);

} // namespace kyanalyze
