// KyAnalysisServiceName: the analysis service's name for the framework.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyServiceName.h>

#include <memory>

/// Names the analysis service ("analysis", class "KyAnalysisService") and
/// hands out its option and result descriptions, each made on first demand,
/// and its serializer (KyAnalysisSerializer), constraint writer
/// (KyAnalysisConstraintXMLWriter) and constraint reader
/// (KyAnalysisConstraintXMLReader), made by the constructor. The name owns
/// all five and deletes them with itself; nothing it hands out may be used
/// after it is gone. Tailors attach one to every data store that has no
/// name yet. Not copyable.
class KYANALYSIS_EXPORT KyAnalysisServiceName : public KyServiceName {
public:
  KyAnalysisServiceName();
  ~KyAnalysisServiceName() override;

  KyAnalysisServiceName* pType() { return this; }

  /// The option descriptions; the same manager on every call.
  KyServiceItemDescriptionManager* pInputDescription() override;
  /// The option descriptions built once for the process, while this name
  /// has not made its own and is of this class: names need not each make a
  /// set only to look keys up. Else pInputDescription().
  const KyServiceItemDescriptionManager* pInputDescriptionForLookup() override;
  /// The result descriptions; the same manager on every call.
  KyServiceItemDescriptionManager* pOutputDescription() override;
  /// As the base, and "errorOption", the key of the option at fault beside
  /// ANALYSIS_ERROR_INVALID_OPTION (owner type "KyObject": the graph, node
  /// or edge whose value it was; value type "Text"), which answers carry
  /// but the result descriptions do not list.
  KyServiceItemDescription* pResultDescription(const wchar_t* key) override;
  KySerializer* pSerializer() override { return serializer_; }
  /// kDefaultName.
  const wchar_t* pDefaultName() const override;
  /// "analysis", the default name, for callers that hold no name.
  static constexpr const wchar_t* kDefaultName = L"analysis";
  /// "KyAnalysisService".
  const wchar_t* pServiceClassName() const override;
  KyConstraintXMLWriter* pConstraintWriter() override { return constraintWriter_; }
  KyConstraintXMLReader* pConstraintReader() override { return constraintReader_; }
  /// Adds the clustering constraints of a constraint manager element to the
  /// manager that the input data read by `reader` holds under the graph
  /// named by the element's "parent" and "clustering:graph:constraintManager";
  /// when it holds none, a new manager is stored there first and the input
  /// data owns it. Nothing happens without a reader or input data. Cost
  /// O(size of the element).
  void readConstraintManager(const xercesc::DOMElement& element,
                             KyServiceInputDataXMLReader* reader) override;
  /// As the base, and two owner types of its own: "KyPair", a pair of two
  /// nodes written as their two identifiers separated by a space and read
  /// back as a new KyPair that the caller takes; and
  /// "KyClusteringConstraint", only a KyClusteringConstraint, named by its
  /// identifier (KyAnalysisSerializer names the constraints of a request).
  KyText* pConvertOwnerToString(const KyObject* owner, const wchar_t* ownerType,
                                KyXMLWriter* writer) override;
  KyObject* pConvertStringToOwner(const wchar_t* text, const wchar_t* ownerType,
                                  KyXMLReader* reader, int& owned) override;
  /// Integers and pairs of nodes for an object of this class itself, whose
  /// converters write them so; nothing for a subclass.
  int plainTexts() override;

  void debugOutput(int) override {}

  static KyAnalysisServiceName* castDown(const KyObject* object) {
    return static_cast<KyAnalysisServiceName*>(const_cast<KyObject*>(object));
  }

private:
  KyServiceItemDescriptionManager* inputDescription_ = nullptr;
  KyServiceItemDescriptionManager* outputDescription_ = nullptr;
  KySerializer* serializer_ = nullptr;
  KyConstraintXMLWriter* constraintWriter_ = nullptr;
  KyConstraintXMLReader* constraintReader_ = nullptr;
  std::unique_ptr<KyServiceItemDescription> errorOption_;
};
