// Symbol export of the local engine library. Every public class of kyengine
// is declared with KYENGINE_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYENGINE_BUILDING)
#define KYENGINE_EXPORT __declspec(dllexport)
#else
#define KYENGINE_EXPORT __declspec(dllimport)
#endif
#else
#define KYENGINE_EXPORT __attribute__((visibility("default")))
#endif
