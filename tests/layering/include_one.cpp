// Includes the one header the build names, and nothing else.
#include KY_LAYERING_HEADER
