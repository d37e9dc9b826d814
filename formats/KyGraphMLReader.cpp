#include <kyformats/KyGraphMLReader.h>

#include "KyColumnNames_p.h"

#include <kyformats/KyFormatText.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyUtf8.h>
#include <kyplatform/KyXMLPlatformHold.h>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

using KyFormatText::escaped;
using KyFormatText::fromUtf8;

namespace {

using xercesc::Attributes;

/// UTF-16 text of the parser as UTF-8.
std::string utf8Of(const XMLCh* text, std::size_t length) {
  return KyUtf8::fromUtf16(std::u16string_view(text, length));
}

std::string utf8Of(const XMLCh* text) {
  return text == nullptr ? std::string() : utf8Of(text, std::char_traits<XMLCh>::length(text));
}

std::string attribute(const Attributes& attributes, const char16_t* name) {
  return utf8Of(attributes.getValue(name));
}

std::string trimmed(const std::string& text) {
  const std::size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos)
    return "";
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

/// A refusal of the document, thrown out of the parser's callbacks.
struct Refusal {
  std::string message;
};

/// Builds the graph while the parser walks the document.
class GraphMLHandler : public xercesc::DefaultHandler {
public:
  GraphMLHandler(KyGraphData& data, const KyGraphReadOptions& options)
      : data_(data), names_(options, "key") {}

  void setDocumentLocator(const xercesc::Locator* const locator) override { locator_ = locator; }
  // The locator ends with the parse; what finish() refuses has no place.
  void endDocument() override { locator_ = nullptr; }

  void startDTD(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
    refuse("a document type declaration is not accepted");
  }

  void startElement(const XMLCh* const, const XMLCh* const localName, const XMLCh* const,
                    const Attributes& attributes) override {
    const std::u16string name(localName);
    ++depth_;
    if (depth_ == 1 && name != u"graphml")
      refuse("the root element is not 'graphml'");
    if (name == u"key") {
      // Keys are told apart by their id within their domain: two tools
      // write a node key and an edge key of one id.
      std::string domain = attribute(attributes, u"for");
      currentKey_ = {domain.empty() ? "all" : domain, attribute(attributes, u"id")};
      if (keys_.count(currentKey_) != 0)
        refuse("the key '" + escaped(currentKey_.second) + "' is declared twice for " +
               domainName(currentKey_.first));
      keys_[currentKey_] = Key{attribute(attributes, u"attr.name"), std::nullopt};
      keyOrder_.push_back(currentKey_);
    } else if (name == u"default") {
      text_.clear();
      collecting_ = true;
    } else if (name == u"graph") {
      if (graphs_++ > 0)
        refuse("only one graph is read; nested graphs are not accepted");
      undirectedByDefault_ = attribute(attributes, u"edgedefault") == "undirected";
    } else if (name == u"node") {
      const std::string id = attribute(attributes, u"id");
      KyNode* node = this->node(id);
      bool& isDeclared = declared_[id];
      if (isDeclared)
        refuse("the node '" + escaped(id) + "' is declared twice");
      isDeclared = true;
      member_ = node->index();
      onEdge_ = false;
    } else if (name == u"edge") {
      KyNode* source = node(attribute(attributes, u"source"));
      KyEdge* edge = data_.graph->addEdge(source, node(attribute(attributes, u"target")));
      const std::string directed = attribute(attributes, u"directed");
      const bool undirected = directed.empty() ? undirectedByDefault_ : directed == "false";
      undirectedEdges_.push_back(undirected ? 1 : 0);
      member_ = edge->index();
      onEdge_ = true;
    } else if (name == u"data") {
      dataKey_ = attribute(attributes, u"key");
      text_.clear();
      collecting_ = true;
    } else if (name == u"hyperedge") {
      refuse("hyperedges are not accepted");
    }
  }

  void characters(const XMLCh* const text, const XMLSize_t length) override {
    if (collecting_)
      text_ += utf8Of(text, length);
  }

  void endElement(const XMLCh* const, const XMLCh* const localName, const XMLCh* const) override {
    const std::u16string name(localName);
    --depth_;
    if (name == u"default") {
      keys_[currentKey_].fallback = trimmed(text_);
      collecting_ = false;
    } else if (name == u"data") {
      collecting_ = false;
      if (member_ >= 0)
        value(dataKey_, text_);
    } else if (name == u"node" || name == u"edge") {
      member_ = -1;
    } else if (depth_ == 0 && graphs_ == 0) {
      refuse("the document holds no graph element");
    }
  }

  void fatalError(const xercesc::SAXParseException& problem) override { throw problem; }
  void error(const xercesc::SAXParseException& problem) override { throw problem; }

  /// Checks what only the whole document tells and completes the columns.
  void finish() {
    for (const auto& [id, isDeclared] : declared_)
      if (!isDeclared)
        refuse("an edge refers to the node '" + escaped(id) + "', which is not declared");
    // A key with a default gives every member its value, data or not.
    for (const auto& place : keyOrder_) {
      const Key& key = keys_[place];
      if (!key.fallback)
        continue;
      for (const bool onEdges : {false, true}) {
        const char* domain = onEdges ? "edge" : "node";
        if ((place.first != domain && place.first != "all") ||
            (!onEdges && KyColumnNames::lowered(key.name) == "name"))
          continue;
        const int slot = column(place, onEdges);
        if (slot < 0)
          continue;
        KyValueColumn& filled = columns_[static_cast<std::size_t>(slot)];
        const int count = onEdges ? data_.graph->numberOfEdges() : data_.graph->numberOfNodes();
        std::vector<char> given(static_cast<std::size_t>(count), 0);
        for (const auto& entry : filled.values)
          given[static_cast<std::size_t>(entry.first)] = 1;
        int fallback = 0;
        std::string why;
        if (!KyValueColumn::parse(filled.kind, filled.names.front(), *key.fallback, filled.scale,
                                  fallback, why))
          refuse("the default of key '" + escaped(place.second) + "': " + why);
        for (int i = 0; i < count; ++i)
          if (!given[static_cast<std::size_t>(i)])
            filled.values.emplace_back(i, fallback);
      }
    }
    // Columns come in the order of their keys' ids, whatever the data's order.
    std::vector<std::size_t> order(columns_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return columnKeys_[a] < columnKeys_[b]; });
    for (std::size_t i : order)
      (columnOnEdges_[i] ? data_.edgeColumns : data_.nodeColumns).push_back(std::move(columns_[i]));
    const int undirected =
        static_cast<int>(std::count(undirectedEdges_.begin(), undirectedEdges_.end(), 1));
    if (undirected > 0 && undirected == data_.graph->numberOfEdges() && undirectedByDefault_) {
      data_.undirected = true;
    } else if (undirected > 0) {
      KyValueColumn column{{"undirected"}, KyValueKind::boolean, {}};
      for (std::size_t e = 0; e < undirectedEdges_.size(); ++e)
        if (undirectedEdges_[e])
          column.values.emplace_back(static_cast<int>(e), 1);
      data_.edgeColumns.push_back(std::move(column));
    }
  }

  std::string here() const {
    if (locator_ == nullptr)
      return "";
    return "line " + std::to_string(locator_->getLineNumber()) + ", column " +
           std::to_string(locator_->getColumnNumber()) + ": ";
  }

private:
  /// A key by its domain ("node", "edge", "graph", "all", ...) and its id.
  using Place = std::pair<std::string, std::string>;
  struct Key {
    std::string name; // attr.name
    std::optional<std::string> fallback;
  };

  [[noreturn]] void refuse(const std::string& message) const { throw Refusal{here() + message}; }

  static std::string domainName(const std::string& domain) {
    return domain == "node" || domain == "edge" ? domain + "s"
           : domain == "all"                    ? "all domains"
                                                : "the " + domain;
  }

  /// The column the key at `place` fills on nodes or edges, made on first
  /// demand: its place in columns_, or -1 when the key names no option.
  int column(const Place& place, bool onEdges) {
    const auto known = slots_.find({place, onEdges});
    if (known != slots_.end())
      return known->second;
    const std::string domain = onEdges ? "edge" : "node";
    KyValueColumn made;
    std::string why;
    int slot = -1;
    switch (names_.resolve(domain, keys_[place].name, made, why)) {
    case KyColumnNames::Outcome::refused:
      refuse(why);
    case KyColumnNames::Outcome::ignored:
      break;
    case KyColumnNames::Outcome::option:
      for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columnOnEdges_[i] == onEdges && columns_[i].names == made.names)
          refuse("the " + domain + " keys '" + escaped(columnKeys_[i]) + "' and '" +
                 escaped(place.second) + "' both give " + made.names.front());
      slot = static_cast<int>(columns_.size());
      columns_.push_back(std::move(made));
      columnOnEdges_.push_back(onEdges);
      columnKeys_.push_back(place.second);
    }
    slots_[{place, onEdges}] = slot;
    return slot;
  }

  KyNode* node(const std::string& id) {
    if (id.empty())
      refuse("a node or an edge end has no id");
    auto [found, added] = nodes_.emplace(id, nullptr);
    if (added) {
      found->second = data_.graph->addNode();
      nodeByIndex_.push_back(found->second);
      declared_.emplace(id, false);
    }
    return found->second;
  }

  void value(const std::string& keyId, const std::string& text) {
    const std::string domain = onEdge_ ? "edge" : "node";
    Place place{domain, keyId};
    if (keys_.count(place) == 0)
      place.first = "all";
    if (keys_.count(place) == 0) {
      for (const auto& [other, key] : keys_)
        if (other.second == keyId)
          refuse("the key '" + escaped(keyId) + "' is declared for " + domainName(other.first) +
                 ", not for " + domainName(domain));
      refuse("the data key '" + escaped(keyId) + "' is not declared");
    }
    const Key& key = keys_[place];
    if (!onEdge_ &&
        KyColumnNames::lowered(key.name) == "name") { // kept as written, blanks included
      std::wstring wide;
      fromUtf8(text, wide);
      nodeByIndex_[static_cast<std::size_t>(member_)]->pName(wide.c_str());
      named_.push_back(member_);
      return;
    }
    const int slot = column(place, onEdge_);
    if (slot < 0)
      return;
    KyValueColumn& into = columns_[static_cast<std::size_t>(slot)];
    int parsed = 0;
    std::string why;
    if (!KyValueColumn::parse(into.kind, into.names.front(), trimmed(text), into.scale, parsed,
                              why))
      refuse(why);
    into.values.emplace_back(member_, parsed);
  }

public:
  /// The note on the keys that no option has the name of, or "".
  std::string note(const std::string& where) const { return names_.note(where); }

  /// Names the nodes that have no "name" data by their ids.
  void nameByIds() {
    std::vector<char> named(static_cast<std::size_t>(data_.graph->numberOfNodes()), 0);
    for (int index : named_)
      named[static_cast<std::size_t>(index)] = 1;
    std::wstring wide;
    for (const auto& [id, node] : nodes_)
      if (!named[static_cast<std::size_t>(node->index())]) {
        fromUtf8(id, wide);
        node->pName(wide.c_str());
      }
  }

private:
  KyGraphData& data_;
  const xercesc::Locator* locator_ = nullptr;
  int depth_ = 0;
  int graphs_ = 0;
  bool undirectedByDefault_ = false;
  KyColumnNames names_;
  std::map<Place, Key> keys_;
  std::vector<Place> keyOrder_; // as declared
  Place currentKey_;
  std::unordered_map<std::string, KyNode*> nodes_;
  std::map<std::string, bool> declared_;
  std::vector<KyNode*> nodeByIndex_;
  std::vector<int> named_;
  std::vector<char> undirectedEdges_;
  std::vector<KyValueColumn> columns_; // in the order first met
  std::vector<bool> columnOnEdges_;
  std::vector<std::string> columnKeys_;         // the id of each column's key
  std::map<std::pair<Place, bool>, int> slots_; // by (key, on edges): place in columns_ or -1
  int member_ = -1;
  bool onEdge_ = false;
  std::string dataKey_;
  std::string text_;
  bool collecting_ = false;
};

} // namespace

KyGraphMLReader::KyGraphMLReader(const KyGraphReadOptions& options) : options_(options) {}

bool KyGraphMLReader::read(std::string_view bytes, const std::string& where, KyGraphData& data,
                           std::string& error) const {
  // Through the platform's lock: another thread may be reading a document.
  const KyXMLPlatformHold xerces;
  if (!xerces.ready()) {
    error = where + ": the XML parser cannot be started";
    return false;
  }
  KyGraphData made;
  std::unique_ptr<xercesc::SAX2XMLReader> parser(xercesc::XMLReaderFactory::createXMLReader());
  parser->setFeature(xercesc::XMLUni::fgSAX2CoreNameSpaces, true);
  parser->setFeature(xercesc::XMLUni::fgSAX2CoreValidation, false);
  parser->setFeature(xercesc::XMLUni::fgXercesSchema, false);
  parser->setFeature(xercesc::XMLUni::fgXercesLoadExternalDTD, false);
  parser->setFeature(xercesc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
  GraphMLHandler handler(made, options_);
  parser->setContentHandler(&handler);
  parser->setErrorHandler(&handler);
  parser->setLexicalHandler(&handler);
  const xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()),
                                          bytes.size(), "graphml");
  try {
    parser->parse(source);
    handler.finish();
    handler.nameByIds();
    if (const std::string note = handler.note(where); !note.empty())
      made.notes.push_back(note);
    data = std::move(made);
    return true;
  } catch (const Refusal& refusal) {
    error = where + ": " + refusal.message;
  } catch (const xercesc::SAXParseException& problem) {
    error = where + ": line " + std::to_string(problem.getLineNumber()) + ", column " +
            std::to_string(problem.getColumnNumber()) + ": " +
            escaped(utf8Of(problem.getMessage()));
  } catch (const xercesc::XMLException& problem) {
    error = where + ": " + escaped(utf8Of(problem.getMessage()));
  }
  return false;
}
