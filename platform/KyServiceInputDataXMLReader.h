// KyServiceInputDataXMLReader: reads a service input part.
#pragma once

#include <kyplatform/KyXMLReader.h>

#include <memory>
#include <string>

class KyServiceInputData;
class KyServiceName;

/// Reads a service input part, as KyServiceInputDataXMLWriter writes it,
/// into its target input data, whose service name must already be attached:
/// every key must have an option description, every option the
/// description's value type, every owner must be named through the read
/// and fit the description's owner type, every value must convert through
/// the service name's pConvertStringToValue(), and every constraint
/// manager's "parent" must name a graph and its constraints must read with
/// the service name's pConstraintReader().
///
/// The part is read as a stream and checked whole before the data changes.
/// When anything above fails, or the part holds an element it does not
/// know, the read fails and the data is exactly as it was. When the whole
/// document was read, finishRead() stores every value under its owner and
/// key, replacing what the data held there (the data takes the values made
/// while reading, such as numbers and node lists; graphs and nodes are
/// references), and then hands each constraint manager element, gathered
/// as a DOM element of its own, to the service name's
/// readConstraintManager(). Of two entries with the same owner and key the
/// later wins. Cost O(size of the part) plus the conversions. Not copyable.
class KYPLATFORM_EXPORT KyServiceInputDataXMLReader : public KyXMLReader {
public:
  /// `name` is the name of the part this reader is registered for.
  explicit KyServiceInputDataXMLReader(const wchar_t* name);
  ~KyServiceInputDataXMLReader() override;
  KyServiceInputDataXMLReader(const KyServiceInputDataXMLReader&) = delete;
  KyServiceInputDataXMLReader& operator=(const KyServiceInputDataXMLReader&) = delete;

  const wchar_t* pName() const { return name_.c_str(); }
  /// The input data being read: the target as service input data.
  KyServiceInputData* pServiceInputData() const;

  int processDOMElement(const xercesc::DOMElement& element) override;
  /// The part as a stream; every value is kept until finishRead(), so that
  /// a read that fails anywhere in the document leaves the data as it was.
  int readsStream() const override;
  int startElement(const KyXMLStartTag& tag, int depth) override;
  int characters(const XMLCh* text, std::size_t length, int depth) override;
  int endElement(int depth) override;
  int finishRead(int complete) override;

  static KyServiceInputDataXMLReader* castDown(const KyObject* object) {
    return static_cast<KyServiceInputDataXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  struct Staging;
  int startOption(const KyXMLStartTag& tag);
  int startEntry(const KyXMLStartTag& tag);
  int startManager(const KyXMLStartTag& tag);

  std::wstring name_;
  std::unique_ptr<Staging> staging_; // of the part being read
};
