// KyBase64Decoder: the bytes of a base-64 text that comes in pieces.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <cstddef>

/// Decodes a base-64 text (RFC 4648 alphabet, padded) handed over piece by
/// piece into the same bytes KyXMLUtilities::decodeBase64() makes of the
/// whole text, and refuses the same texts: white space (space, tab, CR, LF)
/// is skipped anywhere; a character outside the alphabet, '=' other than at
/// the end, more than two '=', or non-zero bits in the padding make the
/// text fail at once; a text that does not end on a whole group fails at
/// finish(). Whole groups of four digits are decoded as they come; up to
/// three digits wait for the next piece. The caller owns the bytes; the
/// decoder writes where it is told and keeps only its partial group.
class KYPLATFORM_EXPORT KyBase64Decoder {
public:
  /// Room add() needs for a piece of `length` characters: three bytes for
  /// each group of four digits it may complete with the digits waiting, and
  /// the one or two of a last group that padding ends.
  static constexpr std::size_t decodedRoom(std::size_t length) { return (length + 3) / 4 * 3 + 2; }

  /// Decodes the `length` characters at `text` at `bytes`, which needs room
  /// for decodedRoom(length) bytes. Returns the end of what it wrote, or
  /// null when the text so far is no base 64; the decoder then refuses
  /// every later piece until finish(). Cost O(length).
  unsigned char* add(const unsigned char* text, std::size_t length, unsigned char* bytes);
  /// Whether the whole text, every piece of it, was base 64 that ends on a
  /// whole group. The decoder is then ready for a new text.
  bool finish();

private:
  unsigned char* addOne(unsigned char value, unsigned char* bytes);

  unsigned long group_ = 0; // the digits of the group being put together
  std::size_t digits_ = 0;  // how many it has
  std::size_t padding_ = 0; // '=' seen
  bool failed_ = false;
};
