// KyServicePartReading: what the readers of the service input and output
// parts share. Internal to the platform library.
#pragma once

#include <kyplatform/KyXMLReader.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

class KyServiceData;
class KyServiceItemDescription;
class KyServiceName;

/// The read of one service part, a request's options or an answer's
/// results, as both part readers do it. It reads for the part reader, its
/// parent: its failures are the read's, and it names objects through it.
///
/// begin() is the prologue, at the part's element: the data must be there,
/// with a service name that describes the part's items. startItem() begins
/// an option or result element: its key must have a description and its
/// type be the description's. pValue() converts an entry's value. keep()
/// holds a value read, and what it owns, until finish() stores every value
/// kept in the data, in the order read, once the whole document was read;
/// a read that fails releases them instead and leaves the data as it was.
/// Not copyable.
class KyServicePartReading : public KyXMLReader {
public:
  /// Which part: a request's options or an answer's results.
  enum class Part { input, output };

  /// A value kept for the data: stored there by finish(), else released
  /// when `owned` (the value) or `ownerOwned` (its owner) says this holds it.
  /// An integer handed over as a KyInt is kept as `integer` alone (`plain`,
  /// no value) and stored as the data stores the integers it makes.
  struct Entry {
    KyObject* owner;
    KyObject* value;
    int integer;
    bool owned;
    bool ownerOwned;
    bool plain;
  };

  /// A read of `part` for the part reader `reader`.
  KyServicePartReading(Part part, KyXMLReader& reader);
  ~KyServicePartReading() override;
  KyServicePartReading(const KyServicePartReading&) = delete;
  KyServicePartReading& operator=(const KyServicePartReading&) = delete;

  /// The prologue: the part is read into `data`, the reader's target as
  /// data of the part (null when it is none). Returns 1, or 0 when there is
  /// no data or its service name does not describe the part's items.
  int begin(KyServiceData* data);
  /// The service name of the data; valid after begin() returned 1.
  KyServiceName& service() const { return *service_; }

  /// Begins the option or result `tag`: finds the description of its
  /// "key" and checks its "type". Returns 1, or 0 when the key has no
  /// description or the type is another.
  int startItem(const KyXMLStartTag& tag);
  /// The item begun last: its description and its key.
  const KyServiceItemDescription& description() const { return *description_; }
  const std::wstring& key() const { return key_; }

  /// The value `text` stands for as a value of the item's type, converted
  /// by the service name; `owned` says whether the caller takes it. Null
  /// after failing when `text` is null ("has no value") or does not fit.
  KyObject* pValue(const XMLCh* text, int& owned);
  /// `text` in wide form, in a buffer reused by the next call.
  const std::wstring& wide(const XMLCh* text);

  /// Keeps a value of the item begun last for `owner`, until finish().
  /// Returns the entry, whose value may be set later; it stays where it is
  /// while more are kept. 24 bytes an entry, the key kept once per item.
  Entry& keep(KyObject* owner, int ownerOwned, KyObject* value, int owned);
  /// `complete` 1: stores every value kept in the data, which takes what
  /// the entries held. Returns `complete`.
  int finish(int complete);

private:
  Part part_;
  KyServiceData* data_ = nullptr;
  KyServiceName* service_ = nullptr;
  // Entries in blocks, so that many cost no copy as they grow; the key of
  // each item with the number of the item's first entry.
  std::deque<Entry> entries_;
  std::vector<std::pair<std::size_t, const wchar_t*>> keys_;
  const KyServiceItemDescription* description_ = nullptr;
  std::wstring key_;
  std::wstring text_;
};
