// KyText: a wide text value object.
#pragma once

#include <kyplatform/KyObject.h>

#include <string>

/// Wide text value; owns a copy of its characters, compares and hashes by
/// content. A null text given to the constructor is kept as the empty text.
class KYPLATFORM_EXPORT KyText : public KyObject {
public:
  explicit KyText(const wchar_t* text) : text_(text != nullptr ? text : L"") {}

  /// The characters, zero-terminated; valid while the object lives.
  const wchar_t* pValue() const { return text_.c_str(); }

  std::uint32_t hashCode() const override;
  bool equals(const KyObject* other) const override;
  std::size_t sizeOf() const override;

  static KyText* castDown(const KyObject* object) {
    return static_cast<KyText*>(const_cast<KyObject*>(object));
  }

private:
  std::wstring text_;
};
