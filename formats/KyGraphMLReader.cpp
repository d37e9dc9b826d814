#include <kyformats/KyGraphMLReader.h>

#include <kyformats/KyFormatText.h>

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyUtf8.h>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
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

/// Initialises the Xerces platform for the life of the object; the calls nest.
class XercesScope {
public:
  XercesScope() {
    try {
      xercesc::XMLPlatformUtils::Initialize();
      ready_ = true;
    } catch (const xercesc::XMLException&) {
    }
  }
  ~XercesScope() {
    if (ready_)
      xercesc::XMLPlatformUtils::Terminate();
  }
  XercesScope(const XercesScope&) = delete;
  XercesScope& operator=(const XercesScope&) = delete;
  bool ready() const { return ready_; }

private:
  bool ready_ = false;
};

/// Builds the graph while the parser walks the document.
class GraphMLHandler : public xercesc::DefaultHandler {
public:
  explicit GraphMLHandler(KyGraphData& data) : data_(data) {}

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
      Key key{attribute(attributes, u"for"), attribute(attributes, u"attr.name"), std::nullopt};
      currentKey_ = attribute(attributes, u"id");
      keys_[currentKey_] = key;
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
    for (const auto& [id, key] : keys_) {
      if (!key.fallback)
        continue;
      for (const bool onEdges : {false, true}) {
        const char* scope = onEdges ? "edge" : "node";
        KyValueKind kind;
        if ((key.scope == "all" || key.scope == scope) &&
            KyValueColumn::kindOf(scope, key.name, kind))
          columns_.emplace(std::make_pair(id, onEdges), KyValueColumn{{key.name}, kind, {}});
      }
    }
    for (auto& [place, column] : columns_) {
      const auto& [id, onEdges] = place;
      const Key& key = keys_[id];
      if (key.fallback) {
        const int count = onEdges ? data_.graph->numberOfEdges() : data_.graph->numberOfNodes();
        std::vector<char> given(static_cast<std::size_t>(count), 0);
        for (const auto& entry : column.values)
          given[static_cast<std::size_t>(entry.first)] = 1;
        int fallback = 0;
        std::string why;
        if (!KyValueColumn::parse(column.kind, key.name, *key.fallback, fallback, why))
          refuse("the default of key '" + escaped(id) + "': " + why);
        for (int i = 0; i < count; ++i)
          if (!given[static_cast<std::size_t>(i)])
            column.values.emplace_back(i, fallback);
      }
      (onEdges ? data_.edgeColumns : data_.nodeColumns).push_back(std::move(column));
    }
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
  struct Key {
    std::string scope; // "node", "edge", "graph", "all"
    std::string name;
    std::optional<std::string> fallback;
  };

  [[noreturn]] void refuse(const std::string& message) const { throw Refusal{here() + message}; }

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
    const auto key = keys_.find(keyId);
    if (key == keys_.end())
      refuse("the data key '" + escaped(keyId) + "' is not declared");
    const std::string& scope = key->second.scope;
    if (scope != "all" && scope != (onEdge_ ? "edge" : "node"))
      return;
    if (!onEdge_ && key->second.name == "name") { // kept as written, blanks included
      std::wstring wide;
      fromUtf8(text, wide);
      nodeByIndex_[static_cast<std::size_t>(member_)]->pName(wide.c_str());
      named_.push_back(member_);
      return;
    }
    KyValueKind kind;
    if (!KyValueColumn::kindOf(onEdge_ ? "edge" : "node", key->second.name, kind))
      return;
    KyValueColumn& column =
        columns_
            .emplace(std::make_pair(keyId, onEdge_), KyValueColumn{{key->second.name}, kind, {}})
            .first->second;
    int parsed = 0;
    std::string why;
    if (!KyValueColumn::parse(kind, key->second.name, trimmed(text), parsed, why))
      refuse(why);
    column.values.emplace_back(member_, parsed);
  }

public:
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
  std::map<std::string, Key> keys_;
  std::string currentKey_;
  std::unordered_map<std::string, KyNode*> nodes_;
  std::map<std::string, bool> declared_;
  std::vector<KyNode*> nodeByIndex_;
  std::vector<int> named_;
  std::vector<char> undirectedEdges_;
  std::map<std::pair<std::string, bool>, KyValueColumn> columns_; // by (key id, on edges)
  int member_ = -1;
  bool onEdge_ = false;
  std::string dataKey_;
  std::string text_;
  bool collecting_ = false;
};

} // namespace

bool KyGraphMLReader::read(std::string_view bytes, const std::string& where, KyGraphData& data,
                           std::string& error) const {
  const XercesScope xerces;
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
  GraphMLHandler handler(made);
  parser->setContentHandler(&handler);
  parser->setErrorHandler(&handler);
  parser->setLexicalHandler(&handler);
  const xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()),
                                          bytes.size(), "graphml");
  try {
    parser->parse(source);
    handler.finish();
    handler.nameByIds();
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
