// KyBase64Encoder: the base-64 text of bytes that come in pieces.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <cstddef>

/// Encodes bytes handed over piece by piece (as KyTopLevelXMLWriter::Pieces
/// hands a document) into one base-64 text, RFC 4648 alphabet, padded, on
/// one line: the same text KyXMLUtilities::encodeBase64() makes of all the
/// bytes at once. Whole groups of three bytes are encoded as they come; the
/// one or two left over wait for the next piece. The caller owns the text;
/// the encoder writes where it is told and keeps at most two bytes.
class KYPLATFORM_EXPORT KyBase64Encoder {
public:
  /// Characters of the text of `length` bytes: four for each three begun.
  static constexpr std::size_t encodedLength(std::size_t length) { return (length + 2) / 3 * 4; }

  /// Encodes the waiting bytes and the `length` bytes at `bytes` at `text`,
  /// but for the one or two bytes that do not make a whole group, which
  /// wait. `text` needs room for encodedLength(length) characters. Returns
  /// the end of what it wrote. Cost O(length).
  unsigned char* add(const unsigned char* bytes, std::size_t length, unsigned char* text);
  /// Encodes the waiting bytes, if any, as the padded last group at `text`,
  /// which needs room for four characters. Returns the end of what it
  /// wrote; the encoder is then ready for a new text.
  unsigned char* finish(unsigned char* text);

private:
  unsigned char waiting_[2] = {0, 0};
  std::size_t waitingCount_ = 0;
};
