// Marks the symbols that libpurgewell.so exports; everything else stays hidden.
#pragma once

#if defined(PURGEWELL_STATIC)
#define PURGEWELL_API
#else
#define PURGEWELL_API __attribute__((visibility("default")))
#endif
