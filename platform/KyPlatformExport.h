// Symbol export of the platform library. Every public class of kyplatform is
// declared with KYPLATFORM_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYPLATFORM_BUILDING)
#define KYPLATFORM_EXPORT __declspec(dllexport)
#else
#define KYPLATFORM_EXPORT __declspec(dllimport)
#endif
#else
#define KYPLATFORM_EXPORT __attribute__((visibility("default")))
#endif
