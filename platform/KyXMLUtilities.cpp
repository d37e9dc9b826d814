#include <kyplatform/KyBase64Decoder.h>
#include <kyplatform/KyBase64Encoder.h>
#include <kyplatform/KyXMLUtilities.h>

#include "KyXMLText_p.h"

#include <xercesc/dom/DOMDocument.hpp>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

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

unsigned char* KyBase64Decoder::add(const unsigned char* text, std::size_t length,
                                    unsigned char* bytes) {
  if (failed_)
    return nullptr;
  unsigned char* out = bytes;
  const unsigned char* in = text;
  const unsigned char* const end = text + length;
  while (in != end) {
    // Between groups: whole groups of four digits without further tests.
    if (digits_ == 0 && padding_ == 0) {
      for (; end - in >= 4; in += 4) {
        const unsigned a = kDigitValues.of[in[0]], b = kDigitValues.of[in[1]],
                       c = kDigitValues.of[in[2]], d = kDigitValues.of[in[3]];
        if ((a | b | c | d) >= 64)
          break;
        const unsigned long group = a << 18 | b << 12 | c << 6 | d;
        out[0] = static_cast<unsigned char>(group >> 16);
        out[1] = static_cast<unsigned char>(group >> 8);
        out[2] = static_cast<unsigned char>(group);
        out += 3;
      }
      if (in == end)
        break;
    }
    out = addOne(kDigitValues.of[*in++], out);
    if (out == nullptr)
      return nullptr;
  }
  return out;
}

unsigned char* KyBase64Decoder::addOne(unsigned char value, unsigned char* bytes) {
  if (value == kSpace)
    return bytes;
  if (value < 64 && padding_ == 0) {
    group_ = group_ << 6 | value;
    if (++digits_ == 4) {
      *bytes++ = static_cast<unsigned char>(group_ >> 16);
      *bytes++ = static_cast<unsigned char>(group_ >> 8);
      *bytes++ = static_cast<unsigned char>(group_);
      group_ = 0;
      digits_ = 0;
    }
    return bytes;
  }
  if (value == kPadding && padding_ == 0) {
    // Two digits carry one byte and four spare bits, three carry two bytes
    // and two spare bits; canonical text leaves the spare bits zero.
    if (digits_ == 2 && (group_ & 15) == 0) {
      *bytes++ = static_cast<unsigned char>(group_ >> 4);
    } else if (digits_ == 3 && (group_ & 3) == 0) {
      *bytes++ = static_cast<unsigned char>(group_ >> 10);
      *bytes++ = static_cast<unsigned char>(group_ >> 2);
    } else {
      failed_ = true;
      return nullptr;
    }
    padding_ = 1;
    return bytes;
  }
  if (value == kPadding && digits_ + padding_ < 4) {
    ++padding_;
    return bytes;
  }
  failed_ = true;
  return nullptr;
}

bool KyBase64Decoder::finish() {
  const bool whole = !failed_ && (padding_ == 0 ? digits_ == 0 : digits_ + padding_ == 4);
  *this = KyBase64Decoder();
  return whole;
}

unsigned char* KyXMLUtilities::decodeBase64(const unsigned char* text,
                                            unsigned long* decodedLength) {
  if (text == nullptr || decodedLength == nullptr)
    return nullptr;
  const std::size_t length = std::strlen(reinterpret_cast<const char*>(text));
  std::unique_ptr<unsigned char[]> bytes(
      new unsigned char[KyBase64Decoder::decodedRoom(length) + 1]);
  KyBase64Decoder decoder;
  unsigned char* end = decoder.add(text, length, bytes.get());
  if (!decoder.finish() || end == nullptr)
    return nullptr;
  *end = 0;
  *decodedLength = static_cast<unsigned long>(end - bytes.get());
  return bytes.release();
}
