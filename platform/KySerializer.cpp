#include <kyplatform/KySerializer.h>

int KySerializer::pInputDataFromString(const unsigned char*, KyObjectTable*,
                                       KyServiceInputData*) const {
  return 0;
}

int KySerializer::pInputDataToString(KyServiceInputData*, KyObjectTable*, unsigned char*&,
                                     unsigned long*) const {
  return 0;
}

int KySerializer::pOutputDataFromString(const unsigned char*, KyObjectTable*,
                                        KyServiceOutputData*) const {
  return 0;
}

int KySerializer::pOutputDataToString(KyServiceOutputData*, KyObjectTable*, unsigned char*&,
                                      unsigned long*) const {
  return 0;
}
