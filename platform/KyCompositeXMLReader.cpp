#include <kyplatform/KyCompositeXMLReader.h>

#include "KyXMLFragment_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/util/XMLString.hpp>

#include <memory>
#include <vector>

using namespace xercesc;

KyCompositeXMLReader::~KyCompositeXMLReader() = default;

KyXMLReader* KyCompositeXMLReader::setReader(const wchar_t* name, KyXMLReader* reader) {
  return parts_.setHandler(name, reader);
}

KyXMLReader* KyCompositeXMLReader::pReader(const wchar_t* name) const {
  return parts_.pHandler(name);
}

KyObject* KyCompositeXMLReader::setObjectToRead(const wchar_t* name, KyObject* object) {
  return parts_.setObject(name, object);
}

KyObject* KyCompositeXMLReader::setFirstObjectToRead(const wchar_t* name, KyObject* object) {
  return parts_.setFirstObject(name, object);
}

KyObject* KyCompositeXMLReader::pObjectToRead(const wchar_t* name) const {
  return parts_.pObject(name);
}

// The state of one read: which parts were met and read, the part being
// read now, and parts kept as DOM elements until they can be read.
struct KyCompositeXMLReader::Reading {
  enum class Mode { stream, gather, skip };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  explicit Reading(std::size_t parts) : met(parts), done(parts), streamed(parts), kept(parts) {}

  std::vector<char> met;
  std::vector<char> done;
  std::vector<char> streamed; // read as a stream: finishRead() is due
  std::vector<std::unique_ptr<KyXMLFragment>> kept;
  std::size_t current = kNone;
  Mode mode = Mode::skip;
  std::unique_ptr<KyHandlerScope<KyXMLReader>> scope; // of the part streamed now
};

int KyCompositeXMLReader::processDOMElement(const DOMElement& element) {
  return readAsStream(element);
}

int KyCompositeXMLReader::readsStream() const { return 1; }

int KyCompositeXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  const auto& parts = parts_.parts();
  if (depth == 0) {
    for (const auto& registered : parts)
      if (registered.handler == nullptr && registered.object != nullptr)
        return fail(L"no reader for the part " + KyXMLText::quote(registered.name));
    reading_ = std::make_shared<Reading>(parts.size());
    return 1;
  }
  Reading& reading = *reading_;
  if (depth > 1) {
    if (reading.mode == Reading::Mode::stream)
      return parts[reading.current].handler->startElement(tag, depth - 1) != 0
                 ? 1
                 : partFailed(reading.current);
    if (reading.mode == Reading::Mode::gather && !reading.kept[reading.current]->start(tag))
      return fail(reading.kept[reading.current]->refusal());
    return 1;
  }
  if (!XMLString::equals(tag.pName(), u"part"))
    return fail(L"the document holds an element " +
                KyXMLText::quote(KyXMLText::toWide(tag.pName())) + L" that is not a part");
  reading.mode = Reading::Mode::skip;
  const XMLCh* name = tag.pAttribute(u"name");
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].handler == nullptr || KyXMLText::compare(name, parts[i].name) != 0)
      continue;
    if (reading.met[i] != 0)
      return fail(L"the document holds the part " + KyXMLText::quote(parts[i].name) + L" twice");
    reading.met[i] = 1;
    reading.current = i;
    // A part is read as it comes when the parts before it are read and its
    // reader takes streams; otherwise it is kept until it can be read.
    if (parts[i].handler->readsStream() != 0 && readyFor(i)) {
      reading.mode = Reading::Mode::stream;
      reading.streamed[i] = 1;
      reading.scope =
          std::make_unique<KyHandlerScope<KyXMLReader>>(*parts[i].handler, this, parts[i].object);
      if (parts[i].handler->startElement(tag, 0) == 0)
        return partFailed(i);
    } else {
      reading.mode = Reading::Mode::gather;
      reading.kept[i] = std::make_unique<KyXMLFragment>();
      if (!reading.kept[i]->start(tag))
        return fail(reading.kept[i]->refusal());
    }
  }
  return 1;
}

int KyCompositeXMLReader::characters(const XMLCh* text, std::size_t length, int depth) {
  if (depth == 0)
    return 1;
  Reading& reading = *reading_;
  if (reading.mode == Reading::Mode::stream)
    return parts_.parts()[reading.current].handler->characters(text, length, depth - 1) != 0
               ? 1
               : partFailed(reading.current);
  if (reading.mode == Reading::Mode::gather)
    reading.kept[reading.current]->characters(text, length);
  return 1;
}

int KyCompositeXMLReader::endElement(int depth) {
  const auto& parts = parts_.parts();
  Reading& reading = *reading_;
  if (depth == 0) {
    for (std::size_t i = 0; i < parts.size(); ++i)
      if (parts[i].handler != nullptr && reading.met[i] == 0)
        return fail(L"the document has no part " + KyXMLText::quote(parts[i].name));
    return readKeptParts();
  }
  const std::size_t part = reading.current;
  if (reading.mode == Reading::Mode::stream) {
    const int ended = parts[part].handler->endElement(depth - 1);
    if (ended == 0)
      return partFailed(part);
    if (depth == 1) {
      reading.scope.reset();
      reading.done[part] = 1;
    }
  } else if (reading.mode == Reading::Mode::gather) {
    reading.kept[part]->end();
  }
  if (depth == 1) {
    reading.mode = Reading::Mode::skip;
    return readKeptParts();
  }
  return 1;
}

int KyCompositeXMLReader::finishRead(int complete) {
  const auto& parts = parts_.parts();
  // Kept parts go with the read, whatever its outcome.
  const std::shared_ptr<Reading> reading = std::move(reading_);
  if (reading == nullptr)
    return complete;
  int result = complete;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (reading->streamed[i] == 0)
      continue;
    KyHandlerScope<KyXMLReader> scope(*parts[i].handler, this, parts[i].object);
    if (parts[i].handler->finishRead(result) == 0 && result != 0)
      result = partFailed(i);
  }
  return result;
}

bool KyCompositeXMLReader::readyFor(std::size_t part) const {
  const auto& parts = parts_.parts();
  for (std::size_t i = 0; i < part; ++i)
    if (parts[i].handler != nullptr && reading_->done[i] == 0)
      return false;
  return true;
}

int KyCompositeXMLReader::readKeptParts() {
  const auto& parts = parts_.parts();
  Reading& reading = *reading_;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].handler == nullptr || reading.done[i] != 0)
      continue;
    if (reading.kept[i] == nullptr || reading.kept[i]->pLast() == nullptr)
      return 1; // the next part to read has not come whole yet
    KyXMLReader& reader = *parts[i].handler;
    KyHandlerScope<KyXMLReader> scope(reader, this, parts[i].object);
    // A streaming reader completes with the others, after the whole text.
    const bool streams = reader.readsStream() != 0;
    reading.streamed[i] = streams ? 1 : 0;
    const int read = streams ? kyReplay(reader, *reading.kept[i]->pLast())
                             : reader.processDOMElement(*reading.kept[i]->pLast());
    reading.kept[i].reset();
    if (read == 0)
      return partFailed(i);
    reading.done[i] = 1;
  }
  return 1;
}

int KyCompositeXMLReader::partFailed(std::size_t part) {
  const std::wstring reason = failure();
  clearFailure();
  return fail(L"part " + KyXMLText::quote(parts_.parts()[part].name) +
              (reason.empty() ? L" cannot be read" : L": " + reason));
}
