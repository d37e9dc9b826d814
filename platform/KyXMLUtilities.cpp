#include <kyplatform/KyBase64Encoder.h>
#include <kyplatform/KyXMLUtilities.h>

#include "KyXMLText_p.h"

#include <xercesc/dom/DOMDocument.hpp>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

using namespace xercesc;

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kNotInAlphabet = 0xFF;
constexpr unsigned char kSpace = 0xFE;   // white space, skipped
constexpr unsigned char kPadding = 0xFD; // '='

// Value of each byte as a base-64 digit; kSpace, kPadding or kNotInAlphabet
// for the others.
struct DigitValues {
  unsigned char of[256];
  constexpr DigitValues() : of() {
    for (unsigned char& value : of)
      value = kNotInAlphabet;
    for (unsigned char digit = 0; digit < 64; ++digit)
      of[static_cast<unsigned char>(kAlphabet[digit])] = digit;
    of[static_cast<unsigned char>(' ')] = kSpace;
    of[static_cast<unsigned char>('\t')] = kSpace;
    of[static_cast<unsigned char>('\r')] = kSpace;
    of[static_cast<unsigned char>('\n')] = kSpace;
    of[static_cast<unsigned char>('=')] = kPadding;
  }
};
constexpr DigitValues kDigitValues;

// The two digits of every 12-bit value, so that three bytes take two
// look-ups.
struct DigitPairs {
  char of[4096][2];
  constexpr DigitPairs() : of() {
    for (int value = 0; value < 4096; ++value) {
      of[value][0] = kAlphabet[value >> 6];
      of[value][1] = kAlphabet[value & 63];
    }
  }
};
constexpr DigitPairs kDigitPairs;

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Encodes `groups` whole groups of three bytes at `text`; returns the end.
unsigned char* encodeGroups(const unsigned char* bytes, std::size_t groups, unsigned char* text) {
  const unsigned char* const last = bytes + 3 * groups;
  // Two groups at a time from one load of eight bytes, while eight remain.
  for (; last - bytes >= 8; bytes += 6) {
    std::uint64_t eight;
    std::memcpy(&eight, bytes, 8);
    if constexpr (kLittleEndian)
      eight = __builtin_bswap64(eight);
    const std::uint64_t six = eight >> 16;
    std::memcpy(text, kDigitPairs.of[six >> 36], 2);
    std::memcpy(text + 2, kDigitPairs.of[(six >> 24) & 4095], 2);
    std::memcpy(text + 4, kDigitPairs.of[(six >> 12) & 4095], 2);
    std::memcpy(text + 6, kDigitPairs.of[six & 4095], 2);
    text += 8;
  }
  for (; bytes != last; bytes += 3) {
    const unsigned long group = bytes[0] << 16 | bytes[1] << 8 | bytes[2];
    std::memcpy(text, kDigitPairs.of[group >> 12], 2);
    std::memcpy(text + 2, kDigitPairs.of[group & 4095], 2);
    text += 4;
  }
  return text;
}

// Decodes text as the encoder makes it (digits in whole groups, padding in
// the last group only, zero spare bits) in one pass into `bytes`, which has
// room for three bytes a group. The number of bytes; none for any other
// text, which the checking decoder then takes.
std::optional<std::size_t> decodeCanonical(const unsigned char* text, std::size_t length,
                                           unsigned char* bytes) {
  if (length == 0 || length % 4 != 0)
    return std::nullopt;
  const auto value = [](unsigned char c) { return unsigned{kDigitValues.of[c]}; };
  unsigned char* out = bytes;
  const unsigned char* last = text + length - 4;
  for (const unsigned char* in = text; in != last; in += 4) {
    const unsigned a = value(in[0]), b = value(in[1]), c = value(in[2]), d = value(in[3]);
    if ((a | b | c | d) >= 64)
      return std::nullopt;
    const unsigned long group = a << 18 | b << 12 | c << 6 | d;
    out[0] = static_cast<unsigned char>(group >> 16);
    out[1] = static_cast<unsigned char>(group >> 8);
    out[2] = static_cast<unsigned char>(group);
    out += 3;
  }
  const unsigned a = value(last[0]), b = value(last[1]), c = value(last[2]), d = value(last[3]);
  if ((a | b) >= 64)
    return std::nullopt;
  *out++ = static_cast<unsigned char>(a << 2 | b >> 4);
  if (c == kPadding && d == kPadding)
    return (b & 15) == 0 ? std::optional<std::size_t>(out - bytes) : std::nullopt;
  if (c >= 64)
    return std::nullopt;
  *out++ = static_cast<unsigned char>(b << 4 | c >> 2);
  if (d == kPadding)
    return (c & 3) == 0 ? std::optional<std::size_t>(out - bytes) : std::nullopt;
  if (d >= 64)
    return std::nullopt;
  *out++ = static_cast<unsigned char>(c << 6 | d);
  return out - bytes;
}

} // namespace

DOMElement* KyXMLUtilities::pFindElement(const DOMElement& element, const wchar_t* name) {
  if (name == nullptr)
    return nullptr;
  for (DOMElement* child = element.getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling())
    if (KyXMLText::compare(child->getTagName(), name) == 0)
      return child;
  return nullptr;
}

DOMElement* KyXMLUtilities::pCreateElement(const wchar_t* name, DOMElement& parent) {
  DOMElement* child = parent.getOwnerDocument()->createElement(KyXMLText::toXML(name).c_str());
  parent.appendChild(child);
  return child;
}

int KyXMLUtilities::compareString(const wchar_t* text, const DOMNode* node) {
  if (text == nullptr || node == nullptr)
    return -1;
  return KyXMLText::compare(node->getNodeName(), text);
}

void KyXMLUtilities::releaseString(wchar_t*& text) {
  delete[] text;
  text = nullptr;
}

unsigned char* KyBase64Encoder::add(const unsigned char* bytes, std::size_t length,
                                    unsigned char* text) {
  unsigned char* out = text;
  // A group begun by the previous piece is completed first.
  if (waitingCount_ != 0 && waitingCount_ + length >= 3) {
    unsigned char group[3] = {waiting_[0], waiting_[1], 0};
    const std::size_t taken = 3 - waitingCount_;
    std::memcpy(group + waitingCount_, bytes, taken);
    bytes += taken;
    length -= taken;
    waitingCount_ = 0;
    out = encodeGroups(group, 1, out);
  }
  out = encodeGroups(bytes, length / 3, out);
  for (std::size_t i = length / 3 * 3; i < length; ++i)
    waiting_[waitingCount_++] = bytes[i];
  return out;
}

unsigned char* KyBase64Encoder::finish(unsigned char* text) {
  if (waitingCount_ == 0)
    return text;
  const bool two = waitingCount_ == 2;
  const unsigned long group = waiting_[0] << 16 | (two ? waiting_[1] << 8 : 0);
  *text++ = kAlphabet[group >> 18];
  *text++ = kAlphabet[(group >> 12) & 63];
  *text++ = two ? kAlphabet[(group >> 6) & 63] : '=';
  *text++ = '=';
  waitingCount_ = 0;
  return text;
}

unsigned char* KyXMLUtilities::encodeBase64(const unsigned char* bytes, unsigned long length,
                                            unsigned long* encodedLength) {
  if (bytes == nullptr || encodedLength == nullptr ||
      length / 3 >= std::numeric_limits<unsigned long>::max() / 4 - 1)
    return nullptr;
  const std::size_t size = KyBase64Encoder::encodedLength(length);
  auto* text = new unsigned char[size + 1];
  KyBase64Encoder encoder;
  *encoder.finish(encoder.add(bytes, length, text)) = 0;
  *encodedLength = static_cast<unsigned long>(size);
  return text;
}

unsigned char* KyXMLUtilities::decodeBase64(const unsigned char* text,
                                            unsigned long* decodedLength) {
  if (text == nullptr || decodedLength == nullptr)
    return nullptr;
  const std::size_t length = std::strlen(reinterpret_cast<const char*>(text));
  std::unique_ptr<unsigned char[]> canonical(new unsigned char[length / 4 * 3 + 1]);
  if (const std::optional<std::size_t> size = decodeCanonical(text, length, canonical.get())) {
    canonical[*size] = 0;
    *decodedLength = static_cast<unsigned long>(*size);
    return canonical.release();
  }
  canonical.reset();
  // First pass: check the text and count its digits, so that the bytes are
  // decoded straight into an array of the right size.
  std::size_t digits = 0;
  std::size_t padding = 0;
  std::size_t spaces = 0;
  unsigned char lastDigit = 0; // the value of the last digit
  const unsigned char* c = text;
  for (; *c != 0; ++c) {
    const unsigned char value = kDigitValues.of[*c];
    if (value < 64) {
      if (padding != 0)
        return nullptr;
      lastDigit = value;
      ++digits;
    } else if (value == kSpace) {
      ++spaces;
    } else if (value == kPadding) {
      ++padding;
    } else {
      return nullptr;
    }
  }
  if ((digits + padding) % 4 != 0 || padding > 2)
    return nullptr;
  const std::size_t rest = digits % 4;
  // Two leftover digits carry one byte and four spare bits, three carry two
  // bytes and two spare bits; canonical text leaves the spare bits zero.
  if ((rest == 2 && (lastDigit & 15) != 0) || (rest == 3 && (lastDigit & 3) != 0))
    return nullptr;

  const std::size_t size = digits / 4 * 3 + (rest == 0 ? 0 : rest - 1);
  auto* bytes = new unsigned char[size + 1];
  unsigned char* out = bytes;
  unsigned long group = 0;
  std::size_t taken = 0;
  if (spaces == 0) {
    // Digits only, then the padding: whole groups without any test.
    const unsigned char* in = text;
    for (const unsigned char* end = text + digits / 4 * 4; in != end; in += 4) {
      const unsigned long whole = static_cast<unsigned long>(kDigitValues.of[in[0]]) << 18 |
                                  static_cast<unsigned long>(kDigitValues.of[in[1]]) << 12 |
                                  static_cast<unsigned long>(kDigitValues.of[in[2]]) << 6 |
                                  kDigitValues.of[in[3]];
      out[0] = static_cast<unsigned char>(whole >> 16);
      out[1] = static_cast<unsigned char>(whole >> 8);
      out[2] = static_cast<unsigned char>(whole);
      out += 3;
    }
    for (std::size_t i = 0; i < rest; ++i)
      group = group << 6 | kDigitValues.of[in[i]];
  } else {
    for (const unsigned char* in = text; taken < digits; ++in) {
      const unsigned char value = kDigitValues.of[*in];
      if (value >= 64)
        continue;
      group = group << 6 | value;
      if (++taken % 4 == 0) {
        *out++ = static_cast<unsigned char>(group >> 16);
        *out++ = static_cast<unsigned char>(group >> 8);
        *out++ = static_cast<unsigned char>(group);
        group = 0;
      }
    }
  }
  if (rest == 2)
    *out++ = static_cast<unsigned char>(group >> 4);
  if (rest == 3) {
    *out++ = static_cast<unsigned char>(group >> 10);
    *out++ = static_cast<unsigned char>(group >> 2);
  }
  *out = 0;
  *decodedLength = static_cast<unsigned long>(size);
  return bytes;
}
