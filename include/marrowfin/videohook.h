/* Video hook modules: the interface a hook module is compiled against.
 *
 * A hook module is a shared library that Marrowfin loads when a task's "vhook" option names
 * it. Every decoded video picture of that task is handed to the module before it is scaled
 * and encoded; the module may change the picture's pixels in place.
 *
 * The option text is the module path followed by its arguments, separated by "|" when the
 * text contains one and by blanks otherwise (so a path with blanks needs "|"). At most 63
 * tokens are used, the path included. The module's folder is the current directory while
 * Configure runs and is put into PATH.
 *
 * A module exports, with C linkage:
 *   Process    required; called once per picture.
 *   Configure  required when arguments follow the module path; creates one instance.
 *   Release    optional; frees an instance.
 * The same module may be named several times in one task or by several tasks; each naming
 * is its own instance with its own context, and two tasks may call Process at the same time
 * on their own instances. The module is loaded once per process and never unloaded.
 */
#ifndef MARROWFIN_VIDEOHOOK_H
#define MARROWFIN_VIDEOHOOK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One picture: up to four planes and the byte distance between two rows of each. Which
 * planes are used, and their sizes, follow from the pixel format. */
typedef struct MfHookPicture {
  uint8_t* data[4];
  int linesize[4];
} MfHookPicture;

/* Creates the instance's context in *context from argc arguments; argv[0] is the module
 * path. The argument texts stay valid until the instance is released. Returns 0 on
 * success; anything else rejects the option and the task is not set up. */
typedef int (*MfHookConfigureFunc)(void** context, int argc, char* argv[]);

/* Works on one picture in place. context is what Configure stored (NULL for a module
 * without Configure). pixelFormat is the codec library's pixel format number (0 is planar
 * YUV 4:2:0); width and height are in pixels; pts is the picture's presentation time in
 * microseconds of the input. */
typedef void (*MfHookProcessFunc)(void* context, MfHookPicture* picture, int pixelFormat, int width, int height,
                                  int64_t pts);

/* Frees what Configure created. */
typedef void (*MfHookReleaseFunc)(void* context);

/* The host includes this header only for the types above. */
#ifndef MARROWFIN_HOOK_HOST
#if defined(__GNUC__)
#define MF_HOOK_EXPORT __attribute__((visibility("default")))
#else
#define MF_HOOK_EXPORT
#endif
MF_HOOK_EXPORT int Configure(void** context, int argc, char* argv[]);
MF_HOOK_EXPORT void Process(void* context, MfHookPicture* picture, int pixelFormat, int width, int height,
                            int64_t pts);
MF_HOOK_EXPORT void Release(void* context);
#endif

#ifdef __cplusplus
}
#endif

#endif
