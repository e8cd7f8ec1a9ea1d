#include "myutil.h"

#include <stdlib.h>
#include <string.h>

#define MYUTIL_EXPORT __attribute__((visibility("default")))

MYUTIL_EXPORT int my_vsprintf(char* buffer, const char* format, va_list args) {
  return vsprintf(buffer, format, args);
}

MYUTIL_EXPORT int my_fprintf(FILE* file, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = vfprintf(file, format, args);
  va_end(args);
  return written;
}

MYUTIL_EXPORT int my_snprintf(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = vsnprintf(buffer, size, format, args);
  va_end(args);
  return written;
}

MYUTIL_EXPORT FILE* my_fopen(const char* fileName, const char* mode) { return fopen(fileName, mode); }
MYUTIL_EXPORT long my_ftell(FILE* file) { return ftell(file); }

MYUTIL_EXPORT size_t my_fread(void* buffer, size_t size, size_t count, FILE* file) {
  return fread(buffer, size, count, file);
}

MYUTIL_EXPORT size_t my_fwrite(const void* buffer, size_t size, size_t count, FILE* file) {
  return fwrite(buffer, size, count, file);
}

MYUTIL_EXPORT int my_fseek(FILE* file, long offset, int origin) { return fseek(file, offset, origin); }
MYUTIL_EXPORT int my_fclose(FILE* file) { return fclose(file); }

/* Keeps its place between calls like the C runtime's; only hook set-up on the UI thread uses it. */
MYUTIL_EXPORT char* my_strtok(char* text, const char* delimiters) { return strtok(text, delimiters); }

MYUTIL_EXPORT long my_strtol(const char* text, char** end, int base) {
  /* The result is relied on as a 32-bit integer: clamp like a 32-bit long would. */
  long value = strtol(text, end, base);
  if (value > 2147483647L) value = 2147483647L;
  if (value < -2147483647L - 1) value = -2147483647L - 1;
  return value;
}

MYUTIL_EXPORT double my_strtod(const char* text, char** end) { return strtod(text, end); }
