// Element making for the platform's own writers, which name elements with
// Xerces text directly. Internal to the platform library.
#pragma once

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>

/// A new element named `name`, appended as the last child of `parent`.
inline xercesc::DOMElement* kyAppendElement(const XMLCh* name, xercesc::DOMElement& parent) {
  xercesc::DOMElement* child = parent.getOwnerDocument()->createElement(name);
  parent.appendChild(child);
  return child;
}
