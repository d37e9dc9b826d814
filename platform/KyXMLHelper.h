// KyXMLHelper: the value of an element, as text or as a Boolean.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <xercesc/dom/DOMElement.hpp>

/// Reads and writes the value of an element, kept in its "value" attribute
/// (<type value="sameCluster"/>). Static members only.
class KYPLATFORM_EXPORT KyXMLHelper {
public:
  KyXMLHelper() = delete;

  /// Sets the value of `element` to `text`; null writes the empty text.
  static void writeValue(xercesc::DOMElement& element, const wchar_t* text);
  /// A new copy of the value of `element`, the empty text when it has none,
  /// to be freed with KyXMLUtilities::releaseString(); null for a null
  /// element.
  static wchar_t* parseStringValue(const xercesc::DOMElement* element);
  /// Sets the value of `element` to "true" for a non-zero `value`, else to
  /// "false".
  static void writeBooleanValue(xercesc::DOMElement& element, int value);
  /// 1 when the value of `element` is "true"; 0 otherwise, also for a null
  /// element or one without a value.
  static int parseBooleanValue(const xercesc::DOMElement* element);
};
