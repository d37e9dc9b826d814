#include <kyplatform/KyText.h>

#include <functional>

std::uint32_t KyText::hashCode() const {
  // Widened first: the fold must also compile where size_t has 32 bits.
  const std::uint64_t hash = std::hash<std::wstring>()(text_);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

bool KyText::equals(const KyObject* other) const {
  const auto* that = dynamic_cast<const KyText*>(other);
  return that != nullptr && that->text_ == text_;
}

std::size_t KyText::sizeOf() const { return sizeof(KyText) + text_.capacity() * sizeof(wchar_t); }
