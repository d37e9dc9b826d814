// Helpers of the XML tests: documents written to and read from memory, a
// service name with a small option vocabulary, and a constraint kind with
// its reader and writer, used the way a service uses the platform.
#pragma once

#include <kyplatform/KyCompositeXMLReader.h>
#include <kyplatform/KyCompositeXMLWriter.h>
#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyConstraintXMLReader.h>
#include <kyplatform/KyConstraintXMLWriter.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyXMLHelper.h>
#include <kyplatform/KyXMLUtilities.h>

#include <xercesc/dom/DOMNode.hpp>

#include <functional>
#include <string>

namespace kytest {

/// What a write to memory gave.
struct Written {
  int result;
  std::string text;
  std::wstring error;
};

/// Writes a document to memory with a writer that `setup` registers parts
/// on; frees the buffer. No indenting unless asked.
inline Written writeDocument(const std::function<void(KyCompositeXMLWriter&)>& setup,
                             int indenting = 0) {
  unsigned char* buffer = nullptr;
  KyCompositeXMLWriter writer(&buffer, indenting, 0);
  setup(writer);
  Written written{writer.write(), {}, writer.pErrorMessage()};
  if (buffer != nullptr) {
    written.text.assign(reinterpret_cast<const char*>(buffer), writer.outputSize());
    delete[] buffer;
  }
  return written;
}

/// Reads `text` with a reader that `setup` registers parts on; returns the
/// result of read() and leaves the reason of a failure in `error`.
inline int readDocument(const std::string& text,
                        const std::function<void(KyCompositeXMLReader&)>& setup,
                        std::wstring* error = nullptr) {
  KyCompositeXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                              static_cast<unsigned int>(text.size()));
  setup(reader);
  const int result = reader.read();
  if (error != nullptr)
    *error = reader.pErrorMessage();
  return result;
}

/// A constraint on some nodes, with a flag.
class TestConstraint : public KyConstraint {
public:
  explicit TestConstraint(long priority = 0, const wchar_t* name = nullptr)
      : KyConstraint(priority, name) {}
  KyNodeDList nodes;
  int flag = 0;
};

/// Writes a TestConstraint as <testConstraint priority name><flag value/>
/// <nodeList><noderef value="n0"/>...</nodeList></testConstraint>.
class TestConstraintWriter : public KyConstraintXMLWriter {
public:
  const wchar_t* pNameForConstraint(KyConstraint*) override { return L"testConstraint"; }
  int populateDOMElement(xercesc::DOMElement& element) override {
    if (KyConstraintXMLWriter::populateDOMElement(element) == 0)
      return 0;
    const auto* constraint = dynamic_cast<const TestConstraint*>(pConstraint());
    if (constraint == nullptr)
      return 0;
    KyXMLHelper::writeBooleanValue(*KyXMLUtilities::pCreateElement(L"flag", element),
                                   constraint->flag);
    xercesc::DOMElement* list = KyXMLUtilities::pCreateElement(L"nodeList", element);
    for (KyNodeDListIter it(&constraint->nodes); it; ++it)
      KyXMLHelper::writeValue(*KyXMLUtilities::pCreateElement(L"noderef", *list), pID(it.pNode()));
    return 1;
  }
};

/// Reads what TestConstraintWriter writes; refuses other element names and
/// skips references that name no node.
class TestConstraintReader : public KyConstraintXMLReader {
public:
  KyConstraint* pCreateConstraint(const wchar_t* name) override {
    return std::wstring(name) == L"testConstraint" ? new TestConstraint : nullptr;
  }
  int processDOMElement(const xercesc::DOMElement& element) override {
    if (KyConstraintXMLReader::processDOMElement(element) == 0)
      return 0;
    auto* constraint = dynamic_cast<TestConstraint*>(pConstraint());
    constraint->flag =
        KyXMLHelper::parseBooleanValue(KyXMLUtilities::pFindElement(element, L"flag"));
    if (const xercesc::DOMElement* list = KyXMLUtilities::pFindElement(element, L"nodeList"))
      for (const xercesc::DOMNode* child = list->getFirstChild(); child != nullptr;
           child = child->getNextSibling())
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
            KyXMLUtilities::compareString(L"noderef", child) == 0)
          if (auto* node = dynamic_cast<KyNode*>(
                  pElementObject(L"value", *static_cast<const xercesc::DOMElement*>(child))))
            constraint->nodes.appendNode(node);
    return 1;
  }
};

/// A service with one option of each value type the platform converts.
class TestServiceName : public KyServiceName {
public:
  static constexpr const wchar_t* kManagerKey = L"t:graph:constraints";

  TestServiceName() {
    option(L"t:none:graph", L"none", L"KyGraph", nullptr);
    option(L"t:none:count", L"none", L"Integer", new KyInt(3));
    option(L"t:graph:flag", L"KyGraph", L"Boolean", new KyInt(0));
    option(L"t:graph:start", L"KyGraph", L"KyNode", nullptr);
    option(L"t:graph:path", L"KyGraph", L"List<KyNode>", nullptr);
    option(L"t:node:cost", L"KyNode", L"Integer", new KyInt(0));
    option(L"t:edge:weight", L"KyEdge", L"Double", new KyDouble(1.5));
    option(kManagerKey, L"KyGraph", L"KyConstraintManager", nullptr);
  }

  KyServiceItemDescriptionManager* pInputDescription() override { return &descriptions_; }
  KyConstraintXMLWriter* pConstraintWriter() override { return &writer_; }
  KyConstraintXMLReader* pConstraintReader() override { return &reader_; }

  /// Adds the constraints to the manager the data holds for the parent
  /// graph, or to a new one that the data then owns.
  void readConstraintManager(const xercesc::DOMElement& element,
                             KyServiceInputDataXMLReader* reader) override {
    auto* graph = dynamic_cast<KyGraph*>(reader->pElementObject(L"parent", element));
    KyServiceInputData* data = reader->pServiceInputData();
    auto* manager = dynamic_cast<KyConstraintManager*>(data->pValue(graph, kManagerKey));
    if (manager == nullptr) {
      manager = new KyConstraintManager(graph);
      data->setValue(graph, kManagerKey, manager, 1, 0);
    }
    KyConstraintManagerXMLReader managerReader;
    managerReader.pParent(reader);
    managerReader.pConstraintReader(pConstraintReader());
    managerReader.pConstraintManager(manager);
    managerReader.processDOMElement(element);
  }

private:
  void option(const wchar_t* key, const wchar_t* owner, const wchar_t* type, KyObject* byDefault) {
    descriptions_.pOption(
        new KyServiceOptionDescription(key, owner, type, nullptr, 0, 1, nullptr, byDefault));
  }

  KyServiceItemDescriptionManager descriptions_;
  TestConstraintWriter writer_;
  TestConstraintReader reader_;
};

} // namespace kytest
