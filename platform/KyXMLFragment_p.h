// KyXMLFragment: DOM elements gathered from a stream of start tags, text
// and end tags. Internal to the platform library.
#pragma once

#include <kyplatform/KyXMLReader.h>
#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLElement_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/dom/DOMText.hpp>

#include <string>
#include <vector>

/// Gathers elements one by one into a document of its own, made with the
/// first element, where each stays until the fragment goes. For readers
/// that hand an element read from a stream to code that walks DOM elements;
/// a fragment that gathers nothing costs no document.
class KyXMLFragment {
public:
  /// An element begins: the first one of a gathering, or one inside it.
  /// Returns false, gathering nothing more, when DOM refuses the element's
  /// name or one of its attribute names: its rules for names are stricter
  /// than the parser's for a few characters. refusal() then says why, and
  /// the caller's read fails.
  bool start(const KyXMLStartTag& tag) {
    if (document_ == nullptr)
      document_ = kyEmptyDocument();
    try {
      xercesc::DOMElement* element = document_->createElement(tag.pName());
      for (std::size_t i = 0; i < tag.attributeCount(); ++i)
        element->setAttribute(tag.pAttributeName(i), tag.pAttributeValue(i));
      if (!open_.empty())
        open_.back()->appendChild(element);
      open_.push_back(element);
      return true;
    } catch (const xercesc::DOMException& error) {
      refusal_ = L"the element " + KyXMLText::quote(KyXMLText::toWide(tag.pName())) +
                 L" cannot be handed on as a DOM element: " + KyXMLText::toWide(error.getMessage());
      return false;
    }
  }
  /// Why start() last refused an element.
  const std::wstring& refusal() const { return refusal_; }
  /// Text inside the element open now.
  void characters(const XMLCh* text, std::size_t length) {
    if (open_.empty())
      return;
    text_.assign(text, length); // the parser's text is not null-terminated
    open_.back()->appendChild(document_->createTextNode(text_.c_str()));
  }
  /// The element open now ends; when it is the first of its gathering,
  /// it is the one pLast() gives from now on.
  void end() {
    last_ = open_.back();
    open_.pop_back();
  }
  /// True while an element is open.
  bool gathering() const { return !open_.empty(); }
  /// The latest element gathered whole, or null.
  xercesc::DOMElement* pLast() const { return open_.empty() ? last_ : nullptr; }

private:
  KyOwnedDocument document_;
  std::vector<xercesc::DOMElement*> open_;
  xercesc::DOMElement* last_ = nullptr;
  std::u16string text_; // room for the text of characters(), reused
  std::wstring refusal_;
};

/// Hands `element` to the streaming calls of `reader` (finishRead() not
/// included), as a parser would. Returns 1, or 0 when a call does.
int kyReplay(KyXMLReader& reader, const xercesc::DOMElement& element);
