/* The C-runtime support library: formatted printing, stream files and number parsing with
 * the C runtime's own rules, loaded at run time beside the codec libraries. Every function
 * behaves as the C function named after the "my_" prefix and is safe to call from several
 * threads at once on separate buffers and files (my_strtok excepted: it keeps its place). */
#ifndef MARROWFIN_MYUTIL_H
#define MARROWFIN_MYUTIL_H

#include <stdarg.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

int my_vsprintf(char* buffer, const char* format, va_list args);
int my_fprintf(FILE* file, const char* format, ...);
int my_snprintf(char* buffer, size_t size, const char* format, ...);
FILE* my_fopen(const char* fileName, const char* mode);
long my_ftell(FILE* file);
size_t my_fread(void* buffer, size_t size, size_t count, FILE* file);
size_t my_fwrite(const void* buffer, size_t size, size_t count, FILE* file);
int my_fseek(FILE* file, long offset, int origin);
int my_fclose(FILE* file);
char* my_strtok(char* text, const char* delimiters);
long my_strtol(const char* text, char** end, int base);
double my_strtod(const char* text, char** end);

#ifdef __cplusplus
}
#endif

#endif
