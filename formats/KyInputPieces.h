// KyInputPieces: a file or standard input read from start to end in pieces.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <cstddef>
#include <string>

/// A file ("-": standard input) read piece by piece, so that a reader holds
/// only what it has not used yet instead of the whole file. Owns the
/// descriptor it opens and closes it with itself (standard input stays
/// open). Not copyable.
class KYFORMATS_EXPORT KyInputPieces {
public:
  KyInputPieces() = default;
  ~KyInputPieces();
  KyInputPieces(const KyInputPieces&) = delete;
  KyInputPieces& operator=(const KyInputPieces&) = delete;

  /// Opens `path`. False, with "PATH: cannot be read: REASON" in `error`
  /// (as KyInputFile::read() says it), when it cannot be read.
  bool open(const std::string& path, std::string& error);
  /// Appends the next piece, at most `most` (> 0) bytes, to `bytes`. False at the
  /// end, `error` then untouched, or when the input fails, with
  /// "PATH: cannot be read: REASON" in `error`; after a false, always false.
  bool next(std::string& bytes, std::size_t most, std::string& error);

  /// The size of the file when it is a regular one, else 0.
  std::size_t size() const { return size_; }

private:
  std::string path_;
  std::size_t size_ = 0;
  int descriptor_ = -1;
  bool owned_ = false; // the descriptor was opened here
  bool ended_ = false;
};
