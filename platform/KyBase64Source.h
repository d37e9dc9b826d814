// KyBase64Source: the bytes of a base-64 text, decoded as they are asked for.
#pragma once

#include <kyplatform/KyBase64Decoder.h>
#include <kyplatform/KyPlatformExport.h>

#include <cstddef>
#include <functional>
#include <vector>

/// Hands on the bytes of a base-64 text that it reads piece by piece, as
/// KyTopLevelXMLReader::NextPiece asks for them: neither the text nor its
/// bytes are held whole, only one piece of each (64 KiB of text). The text
/// is base 64 as KyBase64Decoder takes it. Not copyable.
class KYPLATFORM_EXPORT KyBase64Source {
public:
  /// Writes the next characters of the text, at most `most` at `into`, and
  /// returns how many; 0 at the end of the text.
  using NextText = std::function<std::size_t(char* into, std::size_t most)>;

  explicit KyBase64Source(NextText text);
  ~KyBase64Source();
  KyBase64Source(const KyBase64Source&) = delete;
  KyBase64Source& operator=(const KyBase64Source&) = delete;

  /// Writes at most `most` bytes at `into` and sets `got` to how many, 0 at
  /// the end of the text (and after). False once the text proved no base
  /// 64: at the first fault, or at its end when it ends inside a group.
  bool next(unsigned char* into, std::size_t most, std::size_t& got);
  /// Reads the rest of the text; whether all of it was base 64.
  bool restIsBase64();

private:
  NextText text_;
  KyBase64Decoder decoder_;
  std::vector<char> textPiece_;
  std::vector<unsigned char> decoded_; // of the latest piece of text
  std::size_t taken_ = 0;              // of decoded_, handed on
  bool ended_ = false;
  bool failed_ = false;
};
