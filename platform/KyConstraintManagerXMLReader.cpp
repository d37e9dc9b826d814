#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyConstraintXMLReader.h>

#include "KyXMLScope_p.h"

#include <memory>
#include <vector>

KyConstraintManagerXMLReader::~KyConstraintManagerXMLReader() = default;

KyConstraintManager* KyConstraintManagerXMLReader::pConstraintManager() const {
  return dynamic_cast<KyConstraintManager*>(pTarget());
}

KyConstraintManager*
KyConstraintManagerXMLReader::pConstraintManager(KyConstraintManager* manager) {
  pTarget(manager);
  return manager;
}

int KyConstraintManagerXMLReader::processDOMElement(const xercesc::DOMElement& element) {
  KyConstraintManager* manager = pConstraintManager();
  if (manager == nullptr)
    return fail(L"no constraint manager to read into");
  std::vector<std::unique_ptr<KyConstraint>> read;
  for (const xercesc::DOMElement* child = element.getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling()) {
    if (constraintReader_ == nullptr)
      return fail(L"no reader for constraints");
    int done;
    {
      KyHandlerScope<KyXMLReader> scope(*constraintReader_, this, nullptr);
      done = constraintReader_->processDOMElement(*child);
      read.emplace_back(constraintReader_->pConstraint());
    }
    if (done == 0)
      return fail(L"a constraint cannot be read");
  }
  for (auto& constraint : read)
    if (manager->insertConstraint(constraint.get()) != nullptr)
      constraint.release();
  return 1;
}
