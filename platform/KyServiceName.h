// KyServiceName: how the service framework reaches one service's definition.
#pragma once

#include <kyanalysis/KyObject.h>

class KyServiceItemDescriptionManager;
class KySerializer;
class KyConstraintXMLWriter;
class KyConstraintXMLReader;

/// Names a service and hands out what the framework needs to know about it:
/// the descriptions of its options and results, its serializer, and the
/// writer and reader of its constraints. The base names no service and
/// returns null from every hook; each service derives its own name. A name
/// keeps ownership of everything it hands out.
class KYPLATFORM_EXPORT KyServiceName : public KyObject {
public:
  KyServiceName() = default;
  KyServiceName(const KyServiceName&) = delete;
  KyServiceName& operator=(const KyServiceName&) = delete;

  virtual KyServiceItemDescriptionManager* pInputDescription();
  virtual KyServiceItemDescriptionManager* pOutputDescription();
  virtual KySerializer* pSerializer();
  virtual const wchar_t* pDefaultName() const;
  virtual const wchar_t* pServiceClassName() const;
  virtual KyConstraintXMLWriter* pConstraintWriter();
  virtual KyConstraintXMLReader* pConstraintReader();

  static KyServiceName* castDown(const KyObject* object) {
    return static_cast<KyServiceName*>(const_cast<KyObject*>(object));
  }
};
