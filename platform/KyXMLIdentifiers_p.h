// KyXMLIdentifiers: identifier texts with a value each, for the readers.
// Internal to the platform library.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Texts packed one after the other, each with a zero after it, so that
/// keeping many short texts costs no allocation of their own.
class KyXMLTexts {
public:
  /// Where a text is kept.
  struct Text {
    std::uint32_t at;
    std::uint32_t length;
  };
  Text add(std::u16string_view text) {
    const Text kept{static_cast<std::uint32_t>(chars_.size()),
                    static_cast<std::uint32_t>(text.size())};
    chars_.append(text);
    chars_.push_back(0);
    return kept;
  }
  std::u16string_view view(Text text) const {
    return std::u16string_view(chars_.data() + text.at, text.length);
  }
  /// The text, zero-terminated; valid until the next add().
  const char16_t* c_str(Text text) const { return chars_.data() + text.at; }

private:
  std::u16string chars_;
};

/// Identifiers, each with a value. Those made as writers make them, a
/// lower-case letter and a number without leading zeros ("n12"), are kept
/// by number in one array per letter: no hashing, and a document that names
/// members in order reads memory in order. The others are kept in their own
/// texts in one flat table probed linearly, as many identifiers would
/// otherwise cost a cache miss and an allocation each in a node-based map.
/// Lookups and additions cost O(length of the identifier) on average.
template <typename Value> class KyXMLIdentifiers {
public:
  KyXMLIdentifiers() : slots_(16) {}

  /// Adds `id` with `value`, or gives an identifier that is there already
  /// the new value when `replace`; false when it was there and is kept.
  bool add(std::u16string_view id, Value value, bool replace = false) {
    std::size_t letter, number;
    if (numbered(id, letter, number)) {
      std::vector<Numbered>& array = numbered_[letter];
      if (number < array.size() && array[number].taken) {
        if (replace)
          array[number].value = value;
        return replace;
      }
      // An array grows only as far as it fills, so a large number in a
      // hostile document cannot make it huge; such identifiers are hashed.
      if (number < 2 * counted_[letter] + 1024 && find(id) == nullptr) {
        if (number >= array.size())
          array.resize(std::max<std::size_t>(number + 1 + number / 2, kFirstNumbers));
        array[number] = Numbered{value, true};
        ++counted_[letter];
        ++used_;
        return true;
      }
    }
    const std::uint32_t hash = hashOf(id);
    std::size_t at = find(id, hash);
    if (slots_[at].taken) {
      if (replace)
        slots_[at].value = value;
      return replace;
    }
    if (2 * (used_ + 1) > slots_.size()) {
      grow();
      at = find(id, hash);
    }
    slots_[at] = Slot{texts_.add(id), hash, value, true};
    ++used_;
    return true;
  }
  /// The value kept for `id`; null when the identifier is not there.
  const Value* find(std::u16string_view id) const {
    std::size_t letter, number;
    if (numbered(id, letter, number) && number < numbered_[letter].size() &&
        numbered_[letter][number].taken)
      return &numbered_[letter][number].value;
    const Slot& slot = slots_[find(id, hashOf(id))];
    return slot.taken ? &slot.value : nullptr;
  }
  /// Calls `take(id, value)` for every identifier, in no particular order;
  /// `id` is zero-terminated and valid for the call.
  template <typename Take> void forEach(Take take) const {
    std::u16string id;
    for (std::size_t letter = 0; letter < 26; ++letter)
      for (std::size_t number = 0; number < numbered_[letter].size(); ++number)
        if (numbered_[letter][number].taken) {
          id.assign(1, static_cast<char16_t>(u'a' + letter));
          for (const char c : std::to_string(number))
            id.push_back(static_cast<char16_t>(c));
          take(id.c_str(), numbered_[letter][number].value);
        }
    for (const Slot& slot : slots_)
      if (slot.taken)
        take(texts_.c_str(slot.id), slot.value);
  }
  std::size_t size() const { return used_; }

private:
  // Room a letter's array takes at first: small documents grow it once.
  static constexpr std::size_t kFirstNumbers = 16;

  struct Numbered {
    Value value = {};
    bool taken = false;
  };
  struct Slot {
    KyXMLTexts::Text id = {0, 0};
    std::uint32_t hash = 0;
    Value value = {};
    bool taken = false;
  };

  static bool numbered(std::u16string_view id, std::size_t& letter, std::size_t& number) {
    if (id.size() < 2 || id.size() > 10 || id[0] < u'a' || id[0] > u'z' ||
        (id[1] == u'0' && id.size() > 2))
      return false;
    number = 0;
    for (std::size_t i = 1; i < id.size(); ++i) {
      if (id[i] < u'0' || id[i] > u'9')
        return false;
      number = 10 * number + (id[i] - u'0');
    }
    letter = static_cast<std::size_t>(id[0] - u'a');
    return true;
  }
  static std::uint32_t hashOf(std::u16string_view id) {
    std::uint32_t hash = 2166136261u; // FNV-1a, then a final mix
    for (const char16_t c : id)
      hash = (hash ^ c) * 16777619u;
    hash ^= hash >> 16;
    hash *= 0x7FEB352Du;
    return hash ^ (hash >> 15);
  }
  // The slot holding `id`, or the free slot where it would go.
  std::size_t find(std::u16string_view id, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.taken || (slot.hash == hash && texts_.view(slot.id) == id))
        return i;
    }
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.taken)
        slots_[find(texts_.view(slot.id), slot.hash)] = slot;
  }

  std::vector<Numbered> numbered_[26];
  std::size_t counted_[26] = {};
  KyXMLTexts texts_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};
